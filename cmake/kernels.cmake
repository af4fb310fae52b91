# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# The kernels build (KERNEL_TESTS): one test per kernel of kernels.tsv boots
# it under qemu-system and runs the Android archive there as on a device
# (tests/kernel.sh). The archives are made once, by a fixture, from the
# builds in build/ that the kernels serve.
enable_testing()
execute_process(COMMAND "${PROJECT_SOURCE_DIR}/scripts/kernel.sh" names
                OUTPUT_VARIABLE names OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
string(REPLACE "\n" ";" names "${names}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/kernels.tsv")
set(archives "${PROJECT_BINARY_DIR}/archives")
add_test(NAME android_archives
         COMMAND "${PROJECT_SOURCE_DIR}/scripts/kernel.sh" archives "${archives}" "${PROJECT_SOURCE_DIR}/build")
set_tests_properties(android_archives PROPERTIES FIXTURES_SETUP archives)
foreach(name IN LISTS names)
  add_test(NAME kernel_${name} COMMAND "${PROJECT_SOURCE_DIR}/tests/kernel.sh" ${name} "${archives}"
                                    "${PROJECT_BINARY_DIR}/skipped")
  # Status 3: this kernel cannot be fetched or booted here (the reason on one line).
  set_tests_properties(kernel_${name} PROPERTIES FIXTURES_REQUIRED archives SKIP_RETURN_CODE 3)
endforeach()
