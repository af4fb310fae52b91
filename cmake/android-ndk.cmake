# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# Static executables for Android, any ABI (ANDROID_ABI), through an Android
# NDK's own toolchain file. The NDK is ANDROID_NDK_DIR (the presets take
# ANDROID_NDK_HOME). Only what the toolchain needs stands here: the flags the
# kit promises on every target are the project's own (cmake/deliverable.cmake),
# so that they come after the NDK's.
# A message that begins "not here:" says this machine lacks the toolchain.
set(ANDROID_NDK_DIR "${ANDROID_NDK_DIR}" CACHE PATH "The Android NDK this build uses")
if(NOT ANDROID_NDK_DIR)
  message(FATAL_ERROR "not here: no Android NDK: set ANDROID_NDK_HOME to one")
endif()
get_filename_component(ndk "${ANDROID_NDK_DIR}" ABSOLUTE)
foreach(file build/cmake/android.toolchain.cmake source.properties)
  if(NOT EXISTS "${ndk}/${file}")
    message(FATAL_ERROR "ANDROID_NDK_HOME=${ANDROID_NDK_DIR} is not an Android NDK: no ${file}")
  endif()
endforeach()
# A copy that lost its symbolic links (some archivers and file systems do
# that) holds the linker as a small text naming its target.
file(GLOB linkers "${ndk}/toolchains/llvm/prebuilt/*/bin/ld.lld")
foreach(linker ${linkers})
  file(READ "${linker}" magic LIMIT 4 HEX)
  if(NOT magic MATCHES "^(7f454c46|2321)")
    message(FATAL_ERROR "ANDROID_NDK_HOME=${ANDROID_NDK_DIR}: ${linker} is not a program "
                        "(an NDK copied without its symbolic links?)")
  endif()
endforeach()
file(STRINGS "${ndk}/source.properties" revision REGEX "^Pkg\\.Revision *=")
string(REGEX REPLACE ".*= *" "" NDK_REVISION "${revision}")

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
get_property(in_try_compile GLOBAL PROPERTY IN_TRY_COMPILE)
if(NOT in_try_compile)
  message(STATUS "Android NDK ${NDK_REVISION}: ${ndk}")
endif()

# What a compiler check's project must know to take the same way (after the
# NDK's toolchain file, which sets the list anew).
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ANDROID_ABI ANDROID_TRIPLE ANDROID_NDK_DIR)
include("${CMAKE_CURRENT_LIST_DIR}/emulator.cmake")
string(REGEX MATCH "^[^-]+" processor "${ANDROID_TRIPLE}")
run_programs_here(${processor})
