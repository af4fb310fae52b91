# Releases, packed by CPack from the installed tree: for every target an
# archive holding dist/<target>/ under one top folder,
# <name>-<version>-<target>.tar.gz; for a GNU/Linux cross target also a
# Debian package that installs the same tree under /usr.
set(PACKAGE_TARGET "${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}" CACHE STRING
    "The target's name in package file names (the presets give their own name)")

set(CPACK_PACKAGE_NAME ${package_name})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME ${package_name}-${PROJECT_VERSION}-${PACKAGE_TARGET})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Static Linux process tools: batch_idler, greeter with a namespace reader, lookup_wchan object")
set(CPACK_PACKAGE_CONTACT "Process utilities maintainers <maintainers@users.noreply.c-seed-3977c23f.example>")
# What this target's packages are, in generators and in file names.
set(package_generators TGZ)
set(package_files ${CPACK_PACKAGE_FILE_NAME}.tar.gz)

if(NOT ANDROID AND CMAKE_CROSSCOMPILING)
  # Debian's name for the target's architecture, from its GNU triple.
  execute_process(COMMAND dpkg-architecture -t ${CMAKE_LIBRARY_ARCHITECTURE} -qDEB_HOST_ARCH
                  OUTPUT_VARIABLE deb_arch OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  list(APPEND package_generators DEB)
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${deb_arch})
  set(CPACK_DEBIAN_FILE_NAME ${package_name}_${PROJECT_VERSION}_${deb_arch}.deb)
  list(APPEND package_files ${CPACK_DEBIAN_FILE_NAME})
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  # The programs are static: they depend on no package.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
endif()

# A source package (make package_source) is the checkout without builds.
set(CPACK_SOURCE_IGNORE_FILES "/[.]git/" "/build/" "/dist/")
# CPack leaves its source package's settings in its own variables: tests read ours.
set(CPACK_GENERATOR ${package_generators})
include(CPack)
