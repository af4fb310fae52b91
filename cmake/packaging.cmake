# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# Releases: what every install tree carries beside the deliverables (the
# licence, and the notices of the C library linked into the programs), and
# the names and Debian fields of this target's packages, which
# scripts/package.sh makes from the installed tree (`make package`).
set(PACKAGE_TARGET "${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}" CACHE STRING
    "The target's name in package file names (the presets give their own name)")
set(doc_dir share/doc/${package_name})

install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${doc_dir} COMPONENT ${package_name})
set(changelog ${PROJECT_SOURCE_DIR}/packaging/changelog)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${changelog})
execute_process(COMMAND gzip -9n -c ${changelog} OUTPUT_FILE ${PROJECT_BINARY_DIR}/changelog.gz
                COMMAND_ERROR_IS_FATAL ANY)
install(FILES ${PROJECT_BINARY_DIR}/changelog.gz DESTINATION ${doc_dir} COMPONENT ${package_name})

# What only Debian gives (the .deb and Termux packages, Built-Using, the
# glibc copyright file) is made where Debian's tools are, and only there.
find_program(DPKG_QUERY dpkg-query)
find_program(DPKG_ARCHITECTURE dpkg-architecture)
find_program(DPKG_DEB dpkg-deb)
set(debian_here OFF)
if(DPKG_QUERY AND DPKG_ARCHITECTURE AND DPKG_DEB)
  set(debian_here ON)
endif()

# The C library is linked into the programs, and its licences travel with it.
if(ANDROID)
  # bionic's BSD licences ask that binaries carry their notices: the
  # toolchain file names them (the sysroot's or the NDK's).
  set(libc_name "bionic, Android's C library")
  if(NDK_REVISION)
    string(APPEND libc_name ", from Android NDK ${NDK_REVISION}")
  endif()
  set(libc_notice_files ${ANDROID_NOTICES})
  set(libc_notices "")
else()
  # glibc: the LGPL-2.1 and how to relink (LGPL-2.1, section 6); where
  # Debian is, also the copyright file of the package that holds the
  # toolchain's libc.a, and the glibc version that package names.
  set(libc_name "the GNU C Library (glibc)")
  set(libc_notice_files ${PROJECT_SOURCE_DIR}/packaging/LGPL-2.1)
  set(glibc_copyright_note "")
  if(debian_here)
    execute_process(COMMAND ${CMAKE_C_COMPILER} -print-file-name=libc.a
                    OUTPUT_VARIABLE libc OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    file(REAL_PATH ${libc} libc)
    execute_process(COMMAND ${DPKG_QUERY} --search ${libc} OUTPUT_VARIABLE owner
                    OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    string(REGEX REPLACE "[:,].*" "" libc_package "${owner}")
    # A cross package names the glibc it was built from in its own Built-Using.
    execute_process(COMMAND ${DPKG_QUERY} -W "-f=\${source:Package} (= \${source:Version}), \${Built-Using}"
                            ${libc_package}
                    OUTPUT_VARIABLE sources COMMAND_ERROR_IS_FATAL ANY)
    string(REGEX MATCH "glibc \\(= [^)]+\\)" deb_built_using "${sources}")
    if(NOT deb_built_using)
      message(FATAL_ERROR "${libc_package} (which holds ${libc}) names no glibc version")
    endif()
    string(REGEX REPLACE "glibc \\(= (.*)\\)" "\\1" libc_version "${deb_built_using}")
    configure_file(/usr/share/doc/${libc_package}/copyright glibc-copyright COPYONLY)
    list(APPEND libc_notice_files ${PROJECT_BINARY_DIR}/glibc-copyright)
    set(glibc_copyright_note "; its notices are in\nglibc-copyright")
  else()
    # Elsewhere, the version its headers give.
    file(WRITE ${PROJECT_BINARY_DIR}/glibc-version.c "#include <features.h>\n__GLIBC__.__GLIBC_MINOR__\n")
    execute_process(COMMAND ${CMAKE_C_COMPILER} -E -P ${PROJECT_BINARY_DIR}/glibc-version.c
                    OUTPUT_VARIABLE libc_version COMMAND_ERROR_IS_FATAL ANY)
    string(REGEX MATCH "[0-9]+ *\\. *[0-9]+" libc_version "${libc_version}")
    string(REPLACE " " "" libc_version "${libc_version}")
  endif()
  configure_file(${PROJECT_SOURCE_DIR}/packaging/RELINKING.in RELINKING @ONLY)
  list(APPEND libc_notice_files ${PROJECT_BINARY_DIR}/RELINKING)
endif()
foreach(notice ${libc_notice_files})
  get_filename_component(notice_name ${notice} NAME)
  list(APPEND libc_notices ${notice_name})
endforeach()
list(JOIN libc_notices ", " libc_notices)
set(copyright_comment "The programs in bin/ are linked statically with ${libc_name}.\n Its notices stand beside this file: ${libc_notices}.")
configure_file(${PROJECT_SOURCE_DIR}/packaging/copyright.in copyright @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/copyright ${libc_notice_files} DESTINATION ${doc_dir} COMPONENT ${package_name})
# The debug files are the programs' too: the licence goes with them.
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_BINARY_DIR}/copyright DESTINATION ${doc_dir}
        COMPONENT debug EXCLUDE_FROM_ALL)

# This target's packages, by file name (scripts/package.sh makes them): its
# installed tree, its programs' debug files, for glibc targets two Debian
# packages (package_deb), and the sources they were built from.
set(package_archive ${package_name}-${PROJECT_VERSION}-${PACKAGE_TARGET})
set(package_source ${package_name}-${PROJECT_VERSION}-source.tar.gz)
set(package_files ${package_archive}.tar.gz ${package_archive}-debug.tar.gz ${package_source})
set(deb_arch "")
set(package_deb "")
set(package_no_deb "")
set(package_android "")
set(package_termux "")
if(NOT debian_here)
  set(package_no_deb "dpkg-deb, dpkg-architecture or dpkg-query not found: not a Debian system")
elseif(NOT ANDROID)
  # Debian's names for the target's architecture and its library folder
  # (lib/<deb_multiarch>, where cmake/linking.cmake puts the -dev package's
  # objects), from its GNU triple.
  foreach(variable arch multiarch)
    string(TOUPPER DEB_HOST_${variable} query)
    execute_process(COMMAND ${DPKG_ARCHITECTURE} -t ${CMAKE_LIBRARY_ARCHITECTURE} -q${query}
                    OUTPUT_VARIABLE deb_${variable} OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
  # Two packages, as Debian splits a library's: the programs
  # (${package_name}, Multi-Arch: foreign), and what other programs link
  # (${package_name}-dev, Multi-Arch: same, installable beside the other
  # architectures' -dev); each the install component of its name, its control
  # fields a stanza of packaging/control.in (<package>.control).
  configure_file(${PROJECT_SOURCE_DIR}/packaging/control.in debian-control @ONLY)
  file(READ ${PROJECT_BINARY_DIR}/debian-control stanzas)
  string(FIND "${stanzas}" "\n\n" end)
  string(SUBSTRING "${stanzas}" 0 ${end} programs)
  math(EXPR end "${end} + 2")
  string(SUBSTRING "${stanzas}" ${end} -1 dev)
  foreach(stanza programs dev)
    string(STRIP "${${stanza}}" fields)
    string(REGEX MATCH "^Package: ([^\n]*)" deb "${fields}")
    file(WRITE ${PROJECT_BINARY_DIR}/${CMAKE_MATCH_1}.control "${fields}\n")
    list(APPEND package_files ${CMAKE_MATCH_1}_${PROJECT_VERSION}_${deb_arch}.deb)
    string(APPEND package_deb " ${CMAKE_MATCH_1}_${PROJECT_VERSION}_${deb_arch}.deb")
  endforeach()
  string(STRIP "${package_deb}" package_deb)
  # The -dev package's own notices, the same bytes on every architecture.
  set(copyright_comment "The objects in lib/ carry nothing of a C library: they call that of the\n program they are linked into.")
  configure_file(${PROJECT_SOURCE_DIR}/packaging/copyright.in dev/copyright @ONLY)
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_BINARY_DIR}/dev/copyright ${PROJECT_BINARY_DIR}/changelog.gz
          DESTINATION ${doc_dir}-dev COMPONENT ${package_name}-dev EXCLUDE_FROM_ALL)
endif()
if(ANDROID)
  # One archive for every ABI, whose install.sh picks the device's (the same
  # name from each Android build), and a Termux package: Termux's name for
  # the ABI's architecture (TERMUX_ARCH, from the preset), its control fields
  # those of the Debian package but Built-Using, which names Debian sources.
  set(TERMUX_ARCH "" CACHE STRING "Termux's name for this ABI's architecture (the presets give it)")
  if(NOT TERMUX_ARCH)
    message(FATAL_ERROR "set TERMUX_ARCH to Termux's name for ${ANDROID_ABI} (the presets do)")
  endif()
  set(package_android ${package_name}-${PROJECT_VERSION}-android.tar.gz)
  list(APPEND package_files ${package_android})
  # The device's page-size probe, spliced into install.sh and the Termux
  # preinst: the lines after its comment.
  set(probe ${PROJECT_SOURCE_DIR}/packaging/android/page-size.sh)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${probe})
  file(READ ${probe} PAGE_SIZE_PROBE)
  string(REGEX REPLACE "^(#[^\n]*\n)+" "" PAGE_SIZE_PROBE "${PAGE_SIZE_PROBE}")
  string(REGEX REPLACE "\n$" "" PAGE_SIZE_PROBE "${PAGE_SIZE_PROBE}")
  configure_file(${PROJECT_SOURCE_DIR}/packaging/android/install.sh android-install.sh @ONLY)
  if(NOT package_no_deb)
    set(package_termux ${package_name}_${PROJECT_VERSION}_${TERMUX_ARCH}.deb)
    list(APPEND package_files ${package_termux})
    set(deb_arch ${TERMUX_ARCH})
    # The first stanza, the programs' (a Termux package holds the whole tree),
    # less Multi-Arch, which Termux does not use.
    configure_file(${PROJECT_SOURCE_DIR}/packaging/control.in termux-control.in @ONLY)
    file(READ ${PROJECT_BINARY_DIR}/termux-control.in fields)
    string(REGEX REPLACE "\n\n.*" "\n" fields "${fields}")
    string(REGEX REPLACE "(Built-Using|Multi-Arch):[^\n]*\n" "" fields "${fields}")
    file(WRITE ${PROJECT_BINARY_DIR}/termux-control "${fields}")
    # Termux's dpkg asks it before installing: are the device's pages ones
    # the programs run with?
    configure_file(${PROJECT_SOURCE_DIR}/packaging/termux-preinst.in termux-preinst @ONLY)
  endif()
endif()
