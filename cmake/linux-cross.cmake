# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# Cross builds for GNU/Linux with GNU cross compilers. The preset names
# the target by its GNU triple, CROSS_TRIPLE (aarch64-linux-gnu, ...).
# A message that begins "not here:" says this machine lacks the toolchain.
if(NOT CROSS_TRIPLE)
  message(FATAL_ERROR "set CROSS_TRIPLE to the target's GNU triple (the presets do)")
endif()
set(triple ${CROSS_TRIPLE})
find_program(cross_cc ${triple}-gcc)
find_program(cross_cxx ${triple}-g++)
if(NOT cross_cc OR NOT cross_cxx)
  message(FATAL_ERROR "not here: ${triple}-gcc and ${triple}-g++ not found")
endif()
# On a machine of the target's own kind the host build is that target.
string(REGEX MATCH "^[^-]+" processor ${triple})
if(processor STREQUAL CMAKE_HOST_SYSTEM_PROCESSOR)
  message(FATAL_ERROR "not here: this machine is ${processor}: the host build is this target")
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES CROSS_TRIPLE)
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${processor})

set(CMAKE_C_COMPILER ${cross_cc})
set(CMAKE_CXX_COMPILER ${cross_cxx})

set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

include(${CMAKE_CURRENT_LIST_DIR}/emulator.cmake)
# -L lets dynamically linked test programs find the target's loader and libraries.
run_programs_here(${processor} -L /usr/${triple})
