# Deliverables link nothing but the C library: no C++ runtime, exceptions or
# RTTI. Linking with the C driver makes any stray C++ runtime reference a
# link error instead of a silently larger binary.
# They include C headers only (-nostdinc++): the Android build has no C++
# library at all (ANDROID_STL=none), and this keeps every build honest about it.
set(deliverable_flags -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables -nostdinc++)

# Sanitizer runtimes cannot be linked statically: their builds turn this off.
option(STATIC_PROGRAMS "Link the programs statically" ON)

function(link_statically name)
  if(STATIC_PROGRAMS)
    target_link_options(${name} PRIVATE -static)
  endif()
endfunction()

# The package's name and version stand in the footer of every installed page.
set(package_name proc-utilities)
function(install_man_page page)
  set(source ${CMAKE_CURRENT_SOURCE_DIR}/${page})
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
  file(READ ${source} page_text)
  string(REGEX REPLACE "\n\\.Os\n" "\n.Os ${package_name} ${PROJECT_VERSION}\n" text "${page_text}")
  if(text STREQUAL page_text)
    message(FATAL_ERROR "${source} has no line .Os alone to carry the version")
  endif()
  file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/${page} "${text}")
  string(REGEX MATCH "[1-9]$" section ${page})
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${page} DESTINATION share/man/man${section})
endfunction()

function(add_static_program name)
  add_executable(${name} ${ARGN})
  target_compile_options(${name} PRIVATE ${deliverable_flags})
  link_statically(${name})
  set_target_properties(${name} PROPERTIES LINKER_LANGUAGE C)
  install(TARGETS ${name} RUNTIME DESTINATION bin)
endfunction()

# A relocatable object for linking into other programs, installed as
# lib/<name>.o with its header in include/<folder>/ (the source folder's
# name), position independent so that PIE and non-PIE programs alike link it.
#   add_object_deliverable(NAME SOURCE HEADER [COMPILE_OPTION...])
function(add_object_deliverable name source header)
  add_library(${name} OBJECT ${source})
  target_compile_options(${name} PRIVATE ${deliverable_flags} ${ARGN})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
  get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  install(FILES $<TARGET_OBJECTS:${name}> DESTINATION lib RENAME ${name}.o)
  install(FILES ${header} DESTINATION include/${folder})
endfunction()
