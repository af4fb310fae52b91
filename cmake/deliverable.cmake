# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# Deliverables link nothing but the C library: no C++ runtime, exceptions or
# RTTI. Linking with the C driver makes any stray C++ runtime reference a
# link error instead of a silently larger binary.
# They include C headers only (-nostdinc++): the Android build has no C++
# library at all (ANDROID_STL=none), and this keeps every build honest about it.
set(deliverable_flags -fno-exceptions -fno-rtti -fno-unwind-tables -fno-asynchronous-unwind-tables
    -nostdinc++)

# Sanitizer runtimes cannot be linked statically: their builds turn this off.
option(STATIC_PROGRAMS "Link the programs statically" ON)

# Hardening of the programs, written out: compilers' defaults differ (gcc,
# clang, the NDK's clang). The objects keep their own flags.
include(CheckCXXCompilerFlag)
include(CheckLinkerFlag)
set(hardening_flags -fstack-protector-strong -U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=2)
# clang takes it where it cannot apply it (32 and 64-bit Arm), with a warning.
set(CMAKE_REQUIRED_FLAGS -Werror)
check_cxx_compiler_flag(-fstack-clash-protection have_stack_clash_protection)
unset(CMAKE_REQUIRED_FLAGS)
if(have_stack_clash_protection)
  list(APPEND hardening_flags -fstack-clash-protection)
endif()
set(hardening_link_flags -Wl,-z,relro -Wl,-z,now -Wl,-z,noexecstack)

# How every program is linked, whichever toolchain: statically; with unused
# sections dropped, and identical code folded where the linker can (lld); and
# where the target's kernels may use pages larger than 4 KiB (MAX_PAGE_SIZE,
# from its preset), every LOAD segment aligned to them, or such a kernel
# refuses the program.
# The check links a program: in a function, so that the toolchain's own
# try-compile target type stands for every later check.
function(check_program_link_flag flag variable)
  set(CMAKE_TRY_COMPILE_TARGET_TYPE EXECUTABLE)
  check_linker_flag(C ${flag} ${variable})
endfunction()
check_program_link_flag(-Wl,--icf=all linker_folds_identical_code)
set(program_compile_flags -ffunction-sections -fdata-sections)
set(program_link_flags -Wl,--gc-sections)
if(linker_folds_identical_code)
  list(APPEND program_link_flags -Wl,--icf=all)
endif()
if(MAX_PAGE_SIZE)
  list(APPEND program_link_flags -Wl,-z,max-page-size=${MAX_PAGE_SIZE})
endif()

# The largest page of a kernel the Android programs run on (PAGE_SIZE_SERVED).
# Aligned segments are not enough: bionic's static start-up write-protects
# its globals (.bss.__libc_globals), and a libc.a older than its 16 KiB
# support aligns them to 4 KiB, so that where pages are larger the program
# aborts before main. A ready one (NDK r27 and later) aligns them to 16 KiB
# or more.
# The libc.a that is linked tells, whatever an NDK's release says.
set(PAGE_SIZE_SERVED "")
if(ANDROID)
  execute_process(COMMAND ${CMAKE_C_COMPILER} ${target_options} -print-file-name=libc.a
                  OUTPUT_VARIABLE libc OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND ${CMAKE_READELF} -SW ${libc} OUTPUT_VARIABLE sections COMMAND_ERROR_IS_FATAL ANY)
  if(NOT sections MATCHES "\\.bss\\.__libc_globals [^\n]* ([0-9]+)\n")
    message(FATAL_ERROR "${libc}: no section .bss.__libc_globals: is it bionic's?")
  endif()
  set(globals_alignment ${CMAKE_MATCH_1})
  set(segments 4096)
  if(MAX_PAGE_SIZE)
    set(segments ${MAX_PAGE_SIZE})
  endif()
  set(PAGE_SIZE_SERVED ${segments})
  if(globals_alignment LESS segments)
    set(PAGE_SIZE_SERVED ${globals_alignment})
  endif()
  if(NOT CMAKE_IN_TRY_COMPILE)
    message(STATUS "Pages the programs run with: up to ${PAGE_SIZE_SERVED} bytes (segments aligned "
                   "to ${segments}, libc.a's write-protected globals to ${globals_alignment})")
  endif()
endif()

# A program linked statically: on glibc position independent too
# (-static-pie), so that its image is placed at a random address. bionic's
# static start-up cannot relocate itself: there a -static-pie program crashes
# at start.
function(link_statically name)
  target_compile_options(${name} PRIVATE ${program_compile_flags})
  target_link_options(${name} PRIVATE ${program_link_flags})
  if(NOT STATIC_PROGRAMS)
    return()
  endif()
  if(ANDROID)
    target_link_options(${name} PRIVATE -static)
  else()
    set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
    target_link_options(${name} PRIVATE -static-pie)
  endif()
endfunction()

# A program hardened, and linked statically.
function(harden_and_link_statically name)
  target_compile_options(${name} PRIVATE ${hardening_flags})
  target_link_options(${name} PRIVATE ${hardening_link_flags})
  link_statically(${name})
endfunction()

# The package's name and version stand in the footer of every installed page.
# What is installed belongs to an install component, and the Debian packages
# are the components of their names: ${package_name} (the programs, their
# pages and notices) and ${package_name}-dev (what programs of others link:
# headers, section 3 pages, and the objects and the files that find them in
# lib/<multiarch>/). A tree holds both, but has the objects in lib/
# (component lib, cmake/linking.cmake); the debug files are component debug.
set(package_name proc-utilities)
function(install_man_page page)
  set(source ${CMAKE_CURRENT_SOURCE_DIR}/${page})
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
  file(READ ${source} page_text)
  string(REGEX REPLACE "\n\\.Os\n" "\n.Os ${package_name} ${PROJECT_VERSION}\n" text "${page_text}")
  if(text STREQUAL page_text)
    message(FATAL_ERROR "${source} has no line .Os alone to carry the version")
  endif()
  # Installed compressed, as Debian wants them, with no name or time in the
  # gzip header, so that the same page gives the same bytes.
  file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/${page} "${text}")
  execute_process(COMMAND gzip -9nf ${CMAKE_CURRENT_BINARY_DIR}/${page} COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX MATCH "[1-9]$" section ${page})
  set(component ${package_name})
  if(section STREQUAL 3)
    set(component ${package_name}-dev)
  endif()
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${page}.gz DESTINATION share/man/man${section} COMPONENT ${component})
endfunction()

# A program, installed stripped into bin/; its debug information, found by
# its build-id as debuggers look for it, is installed by the component
# "debug" alone (`cmake --install <build> --component debug`), into
# lib/debug/.build-id/<xx>/<rest>.debug.
function(add_static_program name)
  add_executable(${name} ${ARGN})
  target_compile_options(${name} PRIVATE ${deliverable_flags} -g)
  target_link_options(${name} PRIVATE -Wl,--build-id=sha1)
  harden_and_link_statically(${name})
  set_target_properties(${name} PROPERTIES LINKER_LANGUAGE C)
  install(TARGETS ${name} RUNTIME DESTINATION bin COMPONENT ${package_name})
  set(installed "\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/${name}")
  install(CODE "execute_process(COMMAND \"${CMAKE_STRIP}\" \"${installed}\" COMMAND_ERROR_IS_FATAL ANY)"
          COMPONENT ${package_name})
  install(CODE "execute_process(COMMAND \"${PROJECT_SOURCE_DIR}/scripts/debug-file.sh\" \"${CMAKE_OBJCOPY}\"
                  \"${CMAKE_READELF}\" \"$<TARGET_FILE:${name}>\"
                  \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/lib/debug\" COMMAND_ERROR_IS_FATAL ANY)"
          COMPONENT debug EXCLUDE_FROM_ALL)
endfunction()

# A relocatable object for linking into other programs, installed as
# lib/<name>.o (by cmake/linking.cmake) with its header in include/<folder>/
# (the source folder's name), position independent so that PIE and non-PIE
# programs alike link it.
# It carries no debug information, whatever the toolchain's flags ask (the
# NDK's ask for -g): that would ship the build machine's paths in it.
#   add_object_deliverable(NAME SOURCE HEADER [COMPILE_OPTION...])
function(add_object_deliverable name source header)
  add_library(${name} OBJECT ${source})
  target_compile_options(${name} PRIVATE ${deliverable_flags} -g0 ${ARGN})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
  get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  install(FILES ${header} DESTINATION include/${folder} COMPONENT ${package_name}-dev)
  # cmake/linking.cmake installs it, and makes the files that other projects link it by.
  set_target_properties(${name} PROPERTIES installed_header ${folder}/${header})
  set_property(GLOBAL APPEND PROPERTY object_deliverables ${name})
endfunction()
