# Cross build for 64-bit Arm Linux with Debian's aarch64-linux-gnu toolchain.
# Tests run under qemu-user: CTest puts the emulator in front of every test.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(triple aarch64-linux-gnu)
find_program(cross_cc ${triple}-gcc)
find_program(cross_cxx ${triple}-g++)
if(NOT cross_cc OR NOT cross_cxx)
  message(FATAL_ERROR
    "${triple}-gcc/${triple}-g++ not found: apt-get install g++-${triple}")
endif()
set(CMAKE_C_COMPILER ${cross_cc})
set(CMAKE_CXX_COMPILER ${cross_cxx})

set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

find_program(qemu qemu-aarch64)
if(NOT qemu)
  message(FATAL_ERROR "qemu-aarch64 not found: apt-get install qemu-user")
endif()
# -L lets the dynamically linked test programs find the arm64 loader and libraries.
set(CMAKE_CROSSCOMPILING_EMULATOR ${qemu} -L /usr/${triple})
