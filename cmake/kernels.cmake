# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# The real kernels the Android builds meet, as CMakePresets.json declares them
# beside the targets (vendor "proc-utilities", "kernels"): for each of
# Debian's kernels, its architecture, metapackage and suites, and the builds
# it serves, the device's ABI list in order.
#  - `cmake -P cmake/kernels.cmake` prints the builds they serve, one line,
#    for the Makefile to build before the kernels' tests; with -DKERNEL=NAME,
#    that kernel's architecture, package, suites (a,b) and builds; with
#    -DNAMES=ON, the kernels' names.
#  - In the kernels build (KERNEL_TESTS), one test per kernel boots it under
#    qemu-system and runs those builds' Android archive there as on a device
#    (tests/kernel.sh); the archives are made once, by a fixture. A kernel
#    whose qemu-system is missing is not booted, and target.env says why.
file(READ ${CMAKE_CURRENT_LIST_DIR}/../CMakePresets.json presets)
string(JSON kernels GET "${presets}" vendor proc-utilities kernels)
string(JSON count LENGTH "${kernels}")
math(EXPR count "${count} - 1")

# A JSON array, at the MEMBERs given, as a list: json_list(OUT JSON MEMBER...)
function(json_list out json)
  string(JSON array GET "${json}" ${ARGN})
  string(JSON n LENGTH "${array}")
  math(EXPR n "${n} - 1")
  set(items "")
  foreach(i RANGE ${n})
    string(JSON item GET "${array}" ${i})
    list(APPEND items ${item})
  endforeach()
  set(${out} ${items} PARENT_SCOPE)
endfunction()

set(served "")
set(names "")
foreach(i RANGE ${count})
  string(JSON name MEMBER "${kernels}" ${i})
  list(APPEND names ${name})
  json_list(builds "${kernels}" ${name} builds)
  list(APPEND served ${builds})
endforeach()
list(REMOVE_DUPLICATES served)

if(CMAKE_SCRIPT_MODE_FILE)
  if(KERNEL)
    string(JSON arch ERROR_VARIABLE unknown GET "${kernels}" ${KERNEL} arch)
    if(unknown)
      message(FATAL_ERROR "no kernel ${KERNEL} is declared in CMakePresets.json")
    endif()
    string(JSON package GET "${kernels}" ${KERNEL} package)
    json_list(suites "${kernels}" ${KERNEL} suites)
    json_list(builds "${kernels}" ${KERNEL} builds)
    list(JOIN suites , suites)
    set(served ${arch} ${package} ${suites} ${builds})
  elseif(NAMES)
    set(served ${names})
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E echo ${served})
  return()
endif()

enable_testing()
set(builds ${PROJECT_SOURCE_DIR}/build)
add_test(NAME android_archives COMMAND ${PROJECT_SOURCE_DIR}/scripts/kernel.sh archives
                                       ${PROJECT_BINARY_DIR}/archives ${builds} ${served})
set_tests_properties(android_archives PROPERTIES FIXTURES_SETUP archives)

# Fetched with Debian's tools; booted with an initramfs that cpio packs.
set(TARGET_CANNOT_RUN "")
foreach(tool apt-get dpkg-deb cpio)
  find_program(${tool}_program ${tool})
  if(NOT ${tool}_program)
    list(APPEND TARGET_CANNOT_RUN "${tool} not found")
  endif()
endforeach()
if(TARGET_CANNOT_RUN)
  list(JOIN TARGET_CANNOT_RUN ", " TARGET_CANNOT_RUN)
  set(TARGET_CANNOT_RUN "${TARGET_CANNOT_RUN}: no kernel booted")
  set(names "")
endif()
foreach(name IN LISTS names)
  string(JSON arch GET "${kernels}" ${name} arch)
  string(JSON package GET "${kernels}" ${name} package)
  json_list(suites "${kernels}" ${name} suites)
  json_list(kernel_builds "${kernels}" ${name} builds)
  # qemu-system's name for Debian's architecture.
  string(REPLACE amd64 x86_64 qemu ${arch})
  string(REPLACE arm64 aarch64 qemu ${qemu})
  string(REPLACE armhf arm qemu ${qemu})
  find_program(qemu_system_${qemu} qemu-system-${qemu})
  if(NOT qemu_system_${qemu})
    list(APPEND TARGET_CANNOT_RUN "qemu-system-${qemu} not found: ${name} not booted")
    continue()
  endif()
  list(JOIN suites " " suites)
  add_test(NAME kernel_${name}
           COMMAND ${PROJECT_SOURCE_DIR}/tests/kernel.sh ${PROJECT_BINARY_DIR}/${name} ${arch} ${package}
                   "${suites}" ${PROJECT_BINARY_DIR}/archives ${kernel_builds})
  # Status 3: no kernel could be fetched here (the reason on one line).
  set_tests_properties(kernel_${name} PROPERTIES FIXTURES_REQUIRED archives SKIP_RETURN_CODE 3)
endforeach()
list(JOIN TARGET_CANNOT_RUN "; " TARGET_CANNOT_RUN)
file(WRITE ${PROJECT_BINARY_DIR}/target.env "target_cannot_run='${TARGET_CANNOT_RUN}'\n")
