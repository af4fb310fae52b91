# Static executables for 64-bit Arm Android, built one of two ways:
#  - with an NDK (ANDROID_NDK_HOME or ANDROID_NDK_ROOT): through its own
#    toolchain file;
#  - otherwise with a bare bionic sysroot (ANDROID_SYSROOT, by default
#    ../shared/android-sysroot beside the checkout): Debian's clang and lld,
#    compiling against the API 24 surface, with GCC's aarch64 libgcc.a for the
#    helper routines that bionic's libc.a calls.
# Either way the programs run here under qemu-aarch64.

set(ndk "$ENV{ANDROID_NDK_HOME}")
if(NOT ndk)
  set(ndk "$ENV{ANDROID_NDK_ROOT}")
endif()

if(ndk)
  set(ANDROID_ABI arm64-v8a)
  # Static executables need the TLS alignment that the newest API level's
  # startup object (crtbegin_static.o) gives; a static program loads nothing
  # from the device, so it still runs on API 24.
  set(ANDROID_PLATFORM latest)
  # The deliverables include C headers only: no C++ library at all.
  set(ANDROID_STL none)
  include("${ndk}/build/cmake/android.toolchain.cmake")
else()
  set(CMAKE_SYSTEM_NAME Linux)
  set(CMAKE_SYSTEM_PROCESSOR aarch64)
  set(ANDROID TRUE)

  set(sysroot "$ENV{ANDROID_SYSROOT}")
  if(NOT sysroot)
    set(sysroot "${CMAKE_CURRENT_LIST_DIR}/../../shared/android-sysroot")
  endif()
  get_filename_component(sysroot "${sysroot}" ABSOLUTE)
  if(NOT EXISTS "${sysroot}/usr/lib/aarch64-linux-android/libc.a")
    message(FATAL_ERROR "no bionic sysroot at ${sysroot}: set ANDROID_SYSROOT, "
                        "or ANDROID_NDK_HOME to an NDK")
  endif()

  find_program(clang_cc clang)
  find_program(clang_cxx clang++)
  find_program(lld ld.lld)
  if(NOT clang_cc OR NOT clang_cxx OR NOT lld)
    message(FATAL_ERROR "clang, clang++ or ld.lld not found: apt-get install clang lld")
  endif()
  # bionic's libc.a calls the compiler's outline-atomics helpers
  # (__aarch64_cas4_acq, ...): the NDK has them in compiler-rt, Debian in
  # the aarch64 cross compiler's libgcc.a.
  file(GLOB libgcc /usr/lib/gcc-cross/aarch64-linux-gnu/*/libgcc.a)
  if(NOT libgcc)
    message(FATAL_ERROR "aarch64 libgcc.a not found: apt-get install gcc-aarch64-linux-gnu")
  endif()
  list(SORT libgcc COMPARE NATURAL)
  list(GET libgcc -1 libgcc)
  get_filename_component(libgcc_dir "${libgcc}" DIRECTORY)

  set(CMAKE_C_COMPILER "${clang_cc}")
  set(CMAKE_CXX_COMPILER "${clang_cxx}")
  set(CMAKE_C_COMPILER_TARGET aarch64-linux-android24)
  set(CMAKE_CXX_COMPILER_TARGET aarch64-linux-android24)
  set(CMAKE_SYSROOT "${sysroot}")
  # The sysroot has static libraries only, and no C++ library: every
  # executable is static, and a compiler check compiles without linking.
  set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
  # That libgcc.a asks for glibc's internal name of getauxval; bionic has the
  # public one, with the same signature.
  set(CMAKE_EXE_LINKER_FLAGS_INIT
      "-fuse-ld=lld -static -L${libgcc_dir} -Wl,--defsym=__getauxval=getauxval")

  set(CMAKE_FIND_ROOT_PATH "${sysroot}")
  set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
  set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
  set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
  set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
endif()

find_program(qemu qemu-aarch64)
if(NOT qemu)
  message(FATAL_ERROR "qemu-aarch64 not found: apt-get install qemu-user")
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR ${qemu})
