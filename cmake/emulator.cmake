# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# How this host runs a cross build's programs, for the toolchain files:
# natively where its processor can (an x86_64 host runs i686 code too),
# otherwise under qemu-user, which CTest and the scripts put in front of them.
#   run_programs_here(PROCESSOR [QEMU_OPTION...])
function(run_programs_here processor)
  set(host ${CMAKE_HOST_SYSTEM_PROCESSOR})
  if(processor STREQUAL host OR (host STREQUAL "x86_64" AND processor MATCHES "^i[3-6]86$"))
    set(CMAKE_CROSSCOMPILING_EMULATOR "" PARENT_SCOPE)
    return()
  endif()
  # qemu-user names its 32-bit emulators after the family, not the version.
  string(REGEX REPLACE "^arm.*" "arm" arch "${processor}")
  string(REGEX REPLACE "^i[3-6]86$" "i386" arch "${arch}")
  find_program(qemu_${arch} qemu-${arch})
  if(NOT qemu_${arch})
    message(FATAL_ERROR "qemu-${arch} not found: apt-get install qemu-user")
  endif()
  set(CMAKE_CROSSCOMPILING_EMULATOR ${qemu_${arch}} ${ARGN} PARENT_SCOPE)
endfunction()
