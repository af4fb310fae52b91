# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# Static executables for Android, any ABI, built one of two ways:
#  - with an NDK (ANDROID_NDK_HOME or ANDROID_NDK_ROOT): through its own
#    toolchain file, for ANDROID_ABI (arm64-v8a, armeabi-v7a, x86_64, x86);
#  - otherwise with a bare bionic sysroot (ANDROID_SYSROOT, by default
#    ../shared/android-sysroot beside the checkout): Debian's clang and lld
#    for ANDROID_TRIPLE, the NDK's clang triple of the ABI, against the API 24
#    surface.
# The presets name the ABI both ways, and give MAX_PAGE_SIZE where devices
# of the ABI may use pages larger than 4 KiB (16 KiB on the 64-bit ones,
# Android 15 and later): every LOAD segment is aligned to it.
#
# `cmake -P cmake/android.cmake` says whether either way is here: it fails,
# with the reason, when neither is.

set(ndk "$ENV{ANDROID_NDK_HOME}")
if(NOT ndk)
  set(ndk "$ENV{ANDROID_NDK_ROOT}")
endif()
set(sysroot "$ENV{ANDROID_SYSROOT}")
if(NOT sysroot)
  set(sysroot "${CMAKE_CURRENT_LIST_DIR}/../../shared/android-sysroot")
endif()
get_filename_component(sysroot "${sysroot}" ABSOLUTE)

if(CMAKE_SCRIPT_MODE_FILE)
  if(NOT ndk AND NOT IS_DIRECTORY "${sysroot}/usr/lib")
    message(FATAL_ERROR "no NDK or bionic sysroot: set ANDROID_NDK_HOME or ANDROID_SYSROOT")
  endif()
  return()
endif()

list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ANDROID_ABI ANDROID_TRIPLE MAX_PAGE_SIZE
     LIBGCC_TRIPLE)
if(NOT ANDROID_TRIPLE)
  message(FATAL_ERROR "set ANDROID_TRIPLE to the ABI's clang triple (the presets do)")
endif()
string(REGEX MATCH "^[^-]+" processor ${ANDROID_TRIPLE})
set(android_link_flags "")
if(MAX_PAGE_SIZE)
  string(APPEND android_link_flags " -Wl,-z,max-page-size=${MAX_PAGE_SIZE}")
endif()

if(ndk)
  # Static executables need the TLS alignment that the newest API level's
  # startup object (crtbegin_static.o) gives; a static program loads nothing
  # from the device, so it still runs on API 24.
  set(ANDROID_PLATFORM latest)
  # The deliverables include C headers only: no C++ library at all.
  set(ANDROID_STL none)
  include("${ndk}/build/cmake/android.toolchain.cmake")
  string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT "${android_link_flags}")
  # Where the NDK lies is no part of what is built with it.
  string(APPEND CMAKE_C_FLAGS_INIT " -ffile-prefix-map=${ndk}=android-ndk")
  string(APPEND CMAKE_CXX_FLAGS_INIT " -ffile-prefix-map=${ndk}=android-ndk")
  # The licence notices of what the programs take from it, bionic among them.
  set(ANDROID_NOTICES "${ndk}/NOTICE")
else()
  set(CMAKE_SYSTEM_NAME Linux)
  set(CMAKE_SYSTEM_PROCESSOR ${processor})
  set(ANDROID TRUE)

  find_program(clang_cc clang)
  find_program(clang_cxx clang++)
  find_program(lld ld.lld)
  if(NOT clang_cc OR NOT clang_cxx OR NOT lld)
    message(FATAL_ERROR "clang, clang++ or ld.lld not found: apt-get install clang lld")
  endif()
  # Ask clang where it finds the ABI's C library: it knows the sysroot's layout.
  set(target ${ANDROID_TRIPLE}24)
  execute_process(COMMAND ${clang_cc} --target=${target} --sysroot=${sysroot}
                          -print-file-name=libc.a
                  OUTPUT_VARIABLE libc OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${libc}")
    message(FATAL_ERROR "no bionic libc.a for ${ANDROID_TRIPLE} in ${sysroot}: set "
                        "ANDROID_SYSROOT to a bionic sysroot, or ANDROID_NDK_HOME to an NDK")
  endif()

  set(CMAKE_C_COMPILER "${clang_cc}")
  set(CMAKE_CXX_COMPILER "${clang_cxx}")
  set(CMAKE_C_COMPILER_TARGET ${target})
  set(CMAKE_CXX_COMPILER_TARGET ${target})
  set(CMAKE_SYSROOT "${sysroot}")
  # Where the sysroot lies is no part of what is built from it.
  set(CMAKE_C_FLAGS_INIT "-ffile-prefix-map=${sysroot}=android-sysroot")
  set(CMAKE_CXX_FLAGS_INIT "${CMAKE_C_FLAGS_INIT}")
  # The licence notices of bionic's C and math libraries.
  set(ANDROID_NOTICES "${sysroot}/NOTICE-libc" "${sysroot}/NOTICE-libm")
  # The sysroot has static libraries only, and no C++ library: every
  # executable is static, and a compiler check compiles without linking.
  set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
  string(PREPEND android_link_flags "-fuse-ld=lld -static")

  # The helper routines that libc.a calls (64-bit division on 32-bit ABIs,
  # outline atomics on arm64) come from the sysroot's compiler-rt, which its
  # libgcc.a names. Where the sysroot has none, a GNU cross compiler's
  # libgcc.a serves (LIBGCC_TRIPLE); it asks for glibc's internal name of
  # getauxval, which bionic has under its public name, same signature.
  if(LIBGCC_TRIPLE)
    file(GLOB libgcc /usr/lib/gcc-cross/${LIBGCC_TRIPLE}/*/libgcc.a)
    if(NOT libgcc)
      message(FATAL_ERROR "${LIBGCC_TRIPLE} libgcc.a not found: apt-get install gcc-${LIBGCC_TRIPLE}")
    endif()
    list(SORT libgcc COMPARE NATURAL)
    list(GET libgcc -1 libgcc)
    get_filename_component(libgcc_dir "${libgcc}" DIRECTORY)
    string(APPEND android_link_flags " -L${libgcc_dir} -Wl,--defsym=__getauxval=getauxval")
  endif()
  set(CMAKE_EXE_LINKER_FLAGS_INIT "${android_link_flags}")

  set(CMAKE_FIND_ROOT_PATH "${sysroot}")
  set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
  set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
  set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
  set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
endif()

include(${CMAKE_CURRENT_LIST_DIR}/emulator.cmake)
run_programs_here(${processor})
