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
