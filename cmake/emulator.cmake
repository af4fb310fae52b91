# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# How this host runs a cross build's programs: natively where its processor
# can (an x86_64 host runs i686 code too, where its kernel allows), otherwise
# under qemu-user, which CTest and the scripts put in front of them. Building
# needs none of it: where the programs cannot run here, TARGET_CANNOT_RUN says
# why, and the build registers no test that would run them.

# For the toolchain files: the emulator, or the reason there is none.
#   run_programs_here(PROCESSOR [QEMU_OPTION...])
function(run_programs_here processor)
  set(host ${CMAKE_HOST_SYSTEM_PROCESSOR})
  set(CMAKE_CROSSCOMPILING_EMULATOR "" PARENT_SCOPE)
  if(processor STREQUAL host OR (host STREQUAL "x86_64" AND processor MATCHES "^i[3-6]86$"))
    return()
  endif()
  # qemu-user names its 32-bit emulators after the family, not the version.
  string(REGEX REPLACE "^arm.*" "arm" arch "${processor}")
  string(REGEX REPLACE "^i[3-6]86$" "i386" arch "${arch}")
  find_program(qemu_${arch} qemu-${arch})
  if(NOT qemu_${arch})
    set(TARGET_CANNOT_RUN "qemu-${arch} not found" PARENT_SCOPE)
    return()
  endif()
  set(CMAKE_CROSSCOMPILING_EMULATOR ${qemu_${arch}} ${ARGN} PARENT_SCOPE)
endfunction()

# For the project, once its compilers are known: runs a static C hello built
# for the target, as the tests would run the programs, and where that fails
# (a kernel that does not take the processor's programs) sets
# TARGET_CANNOT_RUN to what it said. Where a kernel of this host's kind
# would run them (i686 programs on x86_64, where this kernel has no IA32
# emulation), SUITES_IN_KERNEL is set: the suites are registered all the
# same, and the kernels preset runs them in a virtual machine.
function(check_programs_run_here)
  if(CMAKE_HOST_SYSTEM_PROCESSOR STREQUAL "x86_64" AND CMAKE_SYSTEM_PROCESSOR MATCHES "^i[3-6]86$")
    set(SUITES_IN_KERNEL ON PARENT_SCOPE)
  endif()
  if(NOT CMAKE_CROSSCOMPILING OR TARGET_CANNOT_RUN)
    return()
  endif()
  set(probe ${CMAKE_BINARY_DIR}/run-probe)
  set(CMAKE_TRY_COMPILE_TARGET_TYPE EXECUTABLE)
  try_compile(built ${probe} SOURCES ${PROJECT_SOURCE_DIR}/bench/size/c_hello.c
              LINK_OPTIONS -static COPY_FILE ${probe}/hello OUTPUT_VARIABLE log)
  if(NOT built)
    message(FATAL_ERROR "cannot link a static C program for ${CMAKE_SYSTEM_PROCESSOR}:\n${log}")
  endif()
  # Through bash, which says why an exec failed ("Exec format error") where
  # CMake, like execvp, would hand the file to a shell to read.
  execute_process(COMMAND bash -c "exec \"$@\"" probe ${CMAKE_CROSSCOMPILING_EMULATOR} ${probe}/hello
                  RESULT_VARIABLE result
                  OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT out STREQUAL "Hello, World!\n")
    string(REGEX MATCH "^[^\n]*" why "${err}")
    string(REGEX REPLACE ".*: " "" why "${why}")
    if(NOT why)
      set(why "status ${result}")
    endif()
    set(TARGET_CANNOT_RUN "${CMAKE_SYSTEM_PROCESSOR} programs do not run here: ${why}" PARENT_SCOPE)
  endif()
endfunction()
