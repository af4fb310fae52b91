# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# How other projects link the installed objects: a CMake package,
# lib/cmake/proc-utilities/ (find_package(proc-utilities) gives the imported
# targets proc-utilities::<object>), and a pkg-config file for each object,
# lib/pkgconfig/proc-utilities-<object>.pc. Both find the tree from where they
# lie, so that it may be unpacked or installed anywhere.

# The C library that the objects call, by the name the package and the tests use.
if(ANDROID)
  set(target_libc bionic)
else()
  set(target_libc glibc)
endif()

get_property(objects GLOBAL PROPERTY object_deliverables)
foreach(object ${objects})
  get_target_property(header ${object} installed_header)
  configure_file(cmake/object.pc.in pkgconfig/${package_name}-${object}.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/pkgconfig/${package_name}-${object}.pc DESTINATION lib/pkgconfig)
endforeach()

list(JOIN objects " " objects)
# The version file records the processor and C library the objects were built
# for; the consumer's are its CMAKE_SYSTEM_PROCESSOR and ANDROID.
set(config_dir ${PROJECT_BINARY_DIR}/cmake-package)
configure_file(cmake/package-config.cmake.in ${config_dir}/${package_name}-config.cmake @ONLY)
configure_file(cmake/package-config-version.cmake.in ${config_dir}/${package_name}-config-version.cmake @ONLY)
install(FILES ${config_dir}/${package_name}-config.cmake ${config_dir}/${package_name}-config-version.cmake
        DESTINATION lib/cmake/${package_name})
