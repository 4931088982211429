# What an installation holds, declared where each part is built: the public
# headers of a library and the programs with their manual pages.  The
# libraries themselves are assembled in package.cmake.

# The headers a library offers other targets: its folder include/gridpick,
# which holds nothing else, so that callers write #include <gridpick/ov.h>
# in the build tree as after installation.  Only these headers are installed,
# into include/gridpick; every other header of the folder stays private to
# the library.
function(gridpick_public_headers target)
  foreach(header ${ARGN})
    install(FILES include/gridpick/${header} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/gridpick)
  endforeach()
  target_include_directories(${target} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}
                             PUBLIC $<BUILD_INTERFACE:${CMAKE_CURRENT_SOURCE_DIR}/include>)
endfunction()

# Installs a program into bin and its manual page man/NAME.1.in, with
# @PROJECT_VERSION@ filled in, into share/man/man1.  One call per program,
# next to its add_executable.
function(gridpick_install_program name)
  install(TARGETS ${name} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  set(page ${PROJECT_SOURCE_DIR}/man/${name}.1.in)
  if(NOT EXISTS ${page})
    message(WARNING "gridpick_install_program: ${name} has no manual page man/${name}.1.in")
    return()
  endif()
  configure_file(${page} ${PROJECT_BINARY_DIR}/man/${name}.1 @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/man/${name}.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()
