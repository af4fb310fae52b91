# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# Static executables for Android, any ABI, built one of two ways:
#  - with an NDK: through its own toolchain file, for ANDROID_ABI
#    (arm64-v8a, armeabi-v7a, x86_64, x86);
#  - otherwise with a bare bionic sysroot (ANDROID_SYSROOT, by default
#    ../shared/android-sysroot beside the checkout): Debian's clang and lld
#    for ANDROID_TRIPLE, the NDK's clang triple of the ABI, against the API 24
#    surface.
# The NDK is ANDROID_NDK_DIR, which the first configure of a build folder
# takes from the environment's ANDROID_NDK_HOME (or ANDROID_NDK_ROOT) and
# keeps: a build folder stays with its way. Empty, it means the sysroot.
# Only what the toolchain needs to work stands here; the flags the kit
# promises on every target (static, page size, hardening, section garbage
# collection, path maps) are the project's own (cmake/deliverable.cmake), so
# that they come after anything an NDK's toolchain file sets. It names where
# the toolchain lies (TOOLCHAIN_PATH_MAP), to be mapped out of what is built.
#
# `cmake -P cmake/android.cmake` says whether either way is here: it prints
# "-- skipped: <why>" when neither is, and fails, naming the variable and what
# is missing, when the NDK named is none.

# A compiler check's project reads this file too (CMAKE_IN_TRY_COMPILE is
# not yet set when it does).
get_property(in_try_compile GLOBAL PROPERTY IN_TRY_COMPILE)

if(NOT DEFINED ANDROID_NDK_DIR)
  set(ANDROID_NDK_DIR "$ENV{ANDROID_NDK_HOME}")
  set(ndk_variable ANDROID_NDK_HOME)
  if(NOT ANDROID_NDK_DIR)
    set(ANDROID_NDK_DIR "$ENV{ANDROID_NDK_ROOT}")
    set(ndk_variable ANDROID_NDK_ROOT)
  endif()
  if(NOT CMAKE_SCRIPT_MODE_FILE)
    set(ANDROID_NDK_DIR "${ANDROID_NDK_DIR}" CACHE PATH
        "The Android NDK this build uses; empty: the bionic sysroot (ANDROID_SYSROOT)")
  endif()
else()
  set(ndk_variable ANDROID_NDK_DIR)
endif()
set(sysroot "$ENV{ANDROID_SYSROOT}")
if(NOT sysroot)
  set(sysroot "${CMAKE_CURRENT_LIST_DIR}/../../shared/android-sysroot")
endif()
get_filename_component(sysroot "${sysroot}" ABSOLUTE)

# An NDK is known by its toolchain file and its release's properties.
set(ndk "${ANDROID_NDK_DIR}")
if(ndk)
  get_filename_component(ndk "${ndk}" ABSOLUTE)
  set(missing "")
  foreach(file build/cmake/android.toolchain.cmake source.properties)
    if(NOT EXISTS "${ndk}/${file}")
      list(APPEND missing ${file})
    endif()
  endforeach()
  if(missing)
    list(JOIN missing ", " missing)
    message(FATAL_ERROR "${ndk_variable}=${ANDROID_NDK_DIR} is not an Android NDK: no ${missing}")
  endif()
  # A copy that lost its symbolic links (some archivers and file systems do
  # that) holds the linker as a small text naming its target.
  file(GLOB linkers "${ndk}/toolchains/llvm/prebuilt/*/bin/ld.lld")
  foreach(linker ${linkers})
    file(READ "${linker}" magic LIMIT 4 HEX)
    if(NOT magic MATCHES "^(7f454c46|2321)")
      file(RELATIVE_PATH linker "${ndk}" "${linker}")
      message(FATAL_ERROR "${ndk_variable}=${ANDROID_NDK_DIR}: ${linker} is not a program "
                          "(an NDK copied without its symbolic links?)")
    endif()
  endforeach()
  file(STRINGS "${ndk}/source.properties" revision REGEX "^Pkg\\.Revision *=")
  string(REGEX REPLACE ".*= *" "" NDK_REVISION "${revision}")
endif()

if(CMAKE_SCRIPT_MODE_FILE)
  if(ndk)
    return()
  endif()
  find_program(clang_cc clang)
  find_program(lld ld.lld)
  if(NOT IS_DIRECTORY "${sysroot}/usr/lib")
    message(STATUS "skipped: no NDK or bionic sysroot: set ANDROID_NDK_HOME or ANDROID_SYSROOT")
  elseif(NOT clang_cc OR NOT lld)
    message(STATUS "skipped: the bionic sysroot needs clang and ld.lld, not found")
  endif()
  return()
endif()

if(NOT ANDROID_TRIPLE)
  message(FATAL_ERROR "set ANDROID_TRIPLE to the ABI's clang triple (the presets do)")
endif()
string(REGEX MATCH "^[^-]+" processor ${ANDROID_TRIPLE})

if(ndk)
  # Static executables need the TLS alignment that the newest API level's
  # startup object (crtbegin_static.o) gives; a static program loads nothing
  # from the device, so it still runs on API 24.
  set(ANDROID_PLATFORM latest)
  # The deliverables include C headers only: no C++ library at all.
  set(ANDROID_STL none)
  include("${ndk}/build/cmake/android.toolchain.cmake")
  # What the programs take from it, bionic among them: its notices.
  set(ANDROID_NOTICES "${ndk}/NOTICE")
  set(TOOLCHAIN_PATH_MAP "${ndk}=android-ndk")
  if(NOT in_try_compile)
    message(STATUS "Android NDK ${NDK_REVISION}: ${ndk}")
  endif()
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
  # Ask clang where it finds the ABI's C library: it knows the sysroot's
  # layout. Not again in each compiler check's project.
  set(target ${ANDROID_TRIPLE}24)
  if(NOT in_try_compile)
    execute_process(COMMAND ${clang_cc} --target=${target} --sysroot=${sysroot}
                            -print-file-name=libc.a
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
  # The licence notices of bionic's C and math libraries.
  set(ANDROID_NOTICES "${sysroot}/NOTICE-libc" "${sysroot}/NOTICE-libm")
  set(TOOLCHAIN_PATH_MAP "${sysroot}=android-sysroot")
  # The sysroot has static libraries only, and no C++ library: every
  # executable is static, and a compiler check compiles without linking.
  set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
  set(link_flags "-fuse-ld=lld -static")

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
    string(APPEND link_flags " -L${libgcc_dir} -Wl,--defsym=__getauxval=getauxval")
  endif()
  set(CMAKE_EXE_LINKER_FLAGS_INIT "${link_flags}")

  set(CMAKE_FIND_ROOT_PATH "${sysroot}")
  set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
  set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
  set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
  set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
endif()

# What a compiler check's project must know to take the same way (after the
# NDK's toolchain file, which sets the list anew).
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ANDROID_ABI ANDROID_TRIPLE ANDROID_NDK_DIR
     LIBGCC_TRIPLE)

include(${CMAKE_CURRENT_LIST_DIR}/emulator.cmake)
run_programs_here(${processor})
