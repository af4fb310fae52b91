# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# Static executables for Android, any ABI, with clang and lld for
# ANDROID_TRIPLE (the NDK's clang triple of the ABI) against a bare bionic
# sysroot, on the API 24 surface. The sysroot is ANDROID_SYSROOT (the presets
# take it from the environment); failing that, the one inside the NDK that
# ANDROID_NDK_HOME names; failing that, ../shared/android-sysroot beside the
# checkout. Only what the toolchain needs stands here: the flags the kit
# promises on every target are the project's own (cmake/deliverable.cmake).
# A message that begins "not here:" says this machine lacks the toolchain.

# A compiler check's project reads this file too (CMAKE_IN_TRY_COMPILE is
# not yet set when it does).
get_property(in_try_compile GLOBAL PROPERTY IN_TRY_COMPILE)
if(NOT ANDROID_TRIPLE)
  message(FATAL_ERROR "set ANDROID_TRIPLE to the ABI's clang triple (the presets do)")
endif()
string(REGEX MATCH "^[^-]+" processor "${ANDROID_TRIPLE}")

set(ANDROID_SYSROOT "${ANDROID_SYSROOT}" CACHE PATH "The bionic sysroot this build uses")
set(sysroot "${ANDROID_SYSROOT}")
if(NOT sysroot AND NOT "$ENV{ANDROID_NDK_HOME}" STREQUAL "")
  file(GLOB sysroot "$ENV{ANDROID_NDK_HOME}/toolchains/llvm/prebuilt/*/sysroot")
endif()
if(NOT sysroot)
  set(sysroot "${CMAKE_CURRENT_LIST_DIR}/../../shared/android-sysroot")
endif()
get_filename_component(sysroot "${sysroot}" ABSOLUTE)
if(NOT IS_DIRECTORY "${sysroot}/usr/lib")
  message(FATAL_ERROR "not here: no bionic sysroot: set ANDROID_SYSROOT to one, or ANDROID_NDK_HOME to an NDK")
endif()
# The build keeps the sysroot it found, and hands it on (target.env).
if(NOT in_try_compile)
  set(ANDROID_SYSROOT "${sysroot}" CACHE PATH "The bionic sysroot this build uses" FORCE)
endif()
find_program(clang_cc clang)
find_program(clang_cxx clang++)
find_program(lld ld.lld)
# llvm's binary tools, which read and strip every ABI's programs; CMake
# would otherwise fall back on GNU ones that know only this machine's.
find_program(CMAKE_STRIP llvm-strip)
find_program(CMAKE_OBJCOPY llvm-objcopy)
find_program(CMAKE_READELF llvm-readelf)
if(NOT clang_cc OR NOT clang_cxx OR NOT lld OR NOT CMAKE_STRIP OR NOT CMAKE_OBJCOPY OR NOT CMAKE_READELF)
  message(FATAL_ERROR "not here: the bionic sysroot needs clang, clang++, ld.lld, llvm-strip, llvm-objcopy and llvm-readelf")
endif()
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${processor})
set(ANDROID TRUE)

# Ask clang where it finds the ABI's C library: it knows the sysroot's
# layout. Not again in each compiler check's project.
set(target ${ANDROID_TRIPLE}24)
if(NOT in_try_compile)
  execute_process(COMMAND "${clang_cc}" --target=${target} "--sysroot=${sysroot}" -print-file-name=libc.a
                  OUTPUT_VARIABLE libc OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${libc}")
    message(FATAL_ERROR "no bionic libc.a for ${ANDROID_TRIPLE} in ${sysroot}: set "
                        "ANDROID_SYSROOT to a bionic sysroot, or ANDROID_NDK_HOME to an NDK")
  endif()
endif()

set(CMAKE_C_COMPILER "${clang_cc}")
set(CMAKE_CXX_COMPILER "${clang_cxx}")
set(CMAKE_C_COMPILER_TARGET ${target})
set(CMAKE_CXX_COMPILER_TARGET ${target})
set(CMAKE_SYSROOT "${sysroot}")
# The licence notices of bionic's C and math libraries: the sysroot's own,
# or those of the NDK it lies in.
set(ANDROID_NOTICES "${sysroot}/NOTICE-libc" "${sysroot}/NOTICE-libm")
if(NOT EXISTS "${sysroot}/NOTICE-libc")
  get_filename_component(ndk "${sysroot}/../../../../.." ABSOLUTE)
  set(ANDROID_NOTICES "${ndk}/NOTICE")
endif()
set(TOOLCHAIN_PATH_MAP "${sysroot}=android-sysroot")
# The sysroot has static libraries only, and no C++ library: every
# executable is static, and a compiler check compiles without linking.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
set(link_flags "-fuse-ld=lld -static")

# The helper routines that libc.a calls (64-bit division on 32-bit ABIs,
# outline atomics on arm64) come from the sysroot's compiler-rt, which its
# libgcc.a names. An NDK's own sysroot has none: its compiler-rt lies
# beside it, and a libgcc.a of this build's names it (ANDROID_RUNTIME_DIR).
# Where neither is, a GNU cross compiler's libgcc.a serves (LIBGCC_TRIPLE);
# it asks for glibc's internal name of getauxval, which bionic has under its
# public name, same signature.
string(REGEX REPLACE "^armv7a$" "arm" builtins_arch "${processor}")
file(GLOB builtins "${sysroot}/../lib/clang/*/lib/linux/libclang_rt.builtins-${builtins_arch}-android.a")
if(NOT in_try_compile AND builtins)
  get_filename_component(libc_dir "${libc}" DIRECTORY)
  if(NOT EXISTS "${libc_dir}/libgcc.a")
    list(GET builtins -1 builtins)
    set(ANDROID_RUNTIME_DIR "${CMAKE_BINARY_DIR}/android-runtime")
    file(WRITE "${ANDROID_RUNTIME_DIR}/libgcc.a" "INPUT(\"${builtins}\")\n")
  endif()
endif()
if(ANDROID_RUNTIME_DIR)
  string(APPEND link_flags " \"-L${ANDROID_RUNTIME_DIR}\"")
elseif(LIBGCC_TRIPLE)
  # A cross compiler's, or on a machine of that kind its own compiler's.
  file(GLOB libgcc /usr/lib/gcc-cross/${LIBGCC_TRIPLE}/*/libgcc.a /usr/lib/gcc/${LIBGCC_TRIPLE}/*/libgcc.a)
  if(NOT libgcc)
    message(FATAL_ERROR "not here: ${LIBGCC_TRIPLE}-gcc, whose libgcc.a the ${ANDROID_ABI} sysroot needs")
  endif()
  list(SORT libgcc COMPARE NATURAL)
  list(GET libgcc -1 libgcc)
  get_filename_component(libgcc_dir "${libgcc}" DIRECTORY)
  string(APPEND link_flags " -L${libgcc_dir} -Wl,--defsym=__getauxval=getauxval")
endif()
set(CMAKE_EXE_LINKER_FLAGS_INIT "${link_flags}")

set(CMAKE_FIND_ROOT_PATH "${sysroot}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# What a compiler check's project must know to take the same way.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ANDROID_ABI ANDROID_TRIPLE ANDROID_SYSROOT LIBGCC_TRIPLE
     ANDROID_RUNTIME_DIR)
include("${CMAKE_CURRENT_LIST_DIR}/emulator.cmake")
run_programs_here(${processor})
