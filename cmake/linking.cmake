# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# How other projects link the installed objects: a CMake package,
# lib/cmake/proc-utilities/ (find_package(proc-utilities) gives the imported
# targets proc-utilities::<object>), and a pkg-config file for each object,
# lib/pkgconfig/proc-utilities-<object>.pc. Both find the tree from where they
# lie, so that it may be unpacked or installed anywhere. The Debian -dev
# package has them, with the objects, under lib/<multiarch triplet>/ instead
# (deb_multiarch), where Debian's cross builds look, so that the packages of
# two architectures install side by side.

# The C library that the objects call, by the name the package and the tests use.
if(ANDROID)
  set(target_libc bionic)
else()
  set(target_libc glibc)
endif()

get_property(objects GLOBAL PROPERTY object_deliverables)

# A program that links them has its LOAD segments aligned as the kit's own
# (MAX_PAGE_SIZE), so that it starts where the target's kernels use larger pages.
set(page_link_option "")
set(pc_page_link_option "")
if(MAX_PAGE_SIZE)
  set(page_link_option "-Wl,-z,max-page-size=${MAX_PAGE_SIZE}")
  set(pc_page_link_option " ${page_link_option}")
endif()

# install_objects(LIBDIR COMPONENT [EXCLUDE_FROM_ALL]): the objects, their
# pkg-config files and the CMake package in LIBDIR, each finding the tree's
# top (to_prefix) and include/ from where it lies.
function(install_objects libdir component)
  set(out ${PROJECT_BINARY_DIR}/linking/${libdir})
  file(RELATIVE_PATH to_prefix /${libdir}/pkgconfig /)
  string(REGEX REPLACE "/$" "" to_prefix ${to_prefix})
  foreach(object ${objects})
    get_target_property(header ${object} installed_header)
    install(FILES $<TARGET_OBJECTS:${object}> DESTINATION ${libdir} RENAME ${object}.o
            COMPONENT ${component} ${ARGN})
    configure_file(${PROJECT_SOURCE_DIR}/cmake/object.pc.in ${out}/pkgconfig/${package_name}-${object}.pc @ONLY)
    install(FILES ${out}/pkgconfig/${package_name}-${object}.pc DESTINATION ${libdir}/pkgconfig
            COMPONENT ${component} ${ARGN})
  endforeach()
  # The version file records the processor and C library the objects were
  # built for; the consumer's are its CMAKE_SYSTEM_PROCESSOR and ANDROID.
  list(JOIN objects " " objects)
  file(RELATIVE_PATH to_prefix /${libdir}/cmake/${package_name} /)
  string(REGEX REPLACE "/$" "" to_prefix ${to_prefix})
  set(config_dir ${out}/cmake/${package_name})
  configure_file(${PROJECT_SOURCE_DIR}/cmake/package-config.cmake.in ${config_dir}/${package_name}-config.cmake @ONLY)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/package-config-version.cmake.in
                 ${config_dir}/${package_name}-config-version.cmake @ONLY)
  install(FILES ${config_dir}/${package_name}-config.cmake ${config_dir}/${package_name}-config-version.cmake
          DESTINATION ${libdir}/cmake/${package_name} COMPONENT ${component} ${ARGN})
endfunction()

# Every tree's (the archives', Termux's): in lib/, a component of its own,
# which no Debian package takes.
install_objects(lib lib)
if(deb_multiarch)
  install_objects(lib/${deb_multiarch} ${package_name}-dev EXCLUDE_FROM_ALL)
endif()
