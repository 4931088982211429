# The libraries for other programs, static and shared: gridpick-grib (the
# codec) and gridpick-ov (the ov library with its netCDF import and the
# utilities it uses), made from the objects of the libraries the programs
# link, with pkg-config files and a CMake package (gridpick::grib and
# gridpick::ov).

# Only what the public headers declare with GP_EXPORT is exported; every
# other routine stays inside the library.
set_target_properties(gp_grib gp_ov gp_util PROPERTIES POSITION_INDEPENDENT_CODE ON
  C_VISIBILITY_PRESET hidden CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)

# What a C or Fortran linker must add for the C++ inside (libstdc++ and libm
# with GCC), as the C++ compiler reports it.
set(gridpick_cxx_runtime ${CMAKE_CXX_IMPLICIT_LINK_LIBRARIES})
list(REMOVE_ITEM gridpick_cxx_runtime ${CMAKE_C_IMPLICIT_LINK_LIBRARIES})
list(TRANSFORM gridpick_cxx_runtime PREPEND -l)
list(JOIN gridpick_cxx_runtime " " gridpick_cxx_runtime)

find_package(PkgConfig QUIET)
if(PKG_CONFIG_FOUND)
  pkg_check_modules(GRIDPICK_NETCDF_PC QUIET netcdf)
endif()

# gridpick_library(NAME FROM objects-of... [PRIVATE libs...] [REQUIRES pc-modules]
#                  [LIBS extra-libs-private] DESCRIPTION text)
function(gridpick_library name)
  cmake_parse_arguments(L "" "DESCRIPTION;REQUIRES;LIBS" "FROM;PRIVATE" ${ARGN})
  set(objects "")
  foreach(t ${L_FROM})
    list(APPEND objects $<TARGET_OBJECTS:${t}>)
  endforeach()
  add_library(gridpick_${name} STATIC ${objects})
  add_library(gridpick_${name}_shared SHARED ${objects})
  set_target_properties(gridpick_${name} gridpick_${name}_shared PROPERTIES
    OUTPUT_NAME gridpick-${name} LINKER_LANGUAGE CXX
    ARCHIVE_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/lib
    LIBRARY_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/lib)
  set_target_properties(gridpick_${name}_shared PROPERTIES EXPORT_NAME ${name}
    VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})
  target_link_libraries(gridpick_${name}_shared PRIVATE ${L_PRIVATE})
  set(map ${PROJECT_SOURCE_DIR}/cmake/c_only.map)
  target_link_options(gridpick_${name}_shared PRIVATE LINKER:--version-script=${map})
  set_property(TARGET gridpick_${name}_shared APPEND PROPERTY LINK_DEPENDS ${map})
  if(NOT GRIDPICK_SANITIZE)
    target_link_options(gridpick_${name}_shared PRIVATE -Wl,--no-undefined)
  endif()
  # Callers include <gridpick/ov.h>; Fortran sources may still include
  # 'ov.inc' by its bare name.
  set(fortran_dir $<INSTALL_PREFIX>/${CMAKE_INSTALL_INCLUDEDIR}/gridpick)
  target_include_directories(gridpick_${name}_shared INTERFACE
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>
    $<INSTALL_INTERFACE:$<$<COMPILE_LANGUAGE:Fortran>:${fortran_dir}>>)
  install(TARGETS gridpick_${name}_shared EXPORT gridpickTargets
          LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
  install(TARGETS gridpick_${name} ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})

  # The .pc file gets the prefix given to cmake --install.
  set(PC_NAME ${name})
  set(PC_DESCRIPTION ${L_DESCRIPTION})
  set(PC_REQUIRES ${L_REQUIRES})
  string(STRIP "${L_LIBS} ${gridpick_cxx_runtime}" PC_LIBS)
  set(PC_PREFIX @CMAKE_INSTALL_PREFIX@)
  set(staged ${PROJECT_BINARY_DIR}/pkgconfig/gridpick-${name}.pc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/gridpick.pc.in ${staged}.in @ONLY)
  install(CODE "configure_file(\"${staged}.in\" \"${staged}\" @ONLY)")
  install(FILES ${staged} DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endfunction()

gridpick_library(grib FROM gp_grib DESCRIPTION "GRIB edition 1 codec of gridpick")
if(GRIDPICK_NETCDF_PC_FOUND)
  gridpick_library(ov FROM gp_ov gp_util PRIVATE netCDF::netcdf REQUIRES netcdf
                   DESCRIPTION "ov data set library of gridpick, with netCDF import")
else()
  gridpick_library(ov FROM gp_ov gp_util PRIVATE netCDF::netcdf LIBS -lnetcdf
                   DESCRIPTION "ov data set library of gridpick, with netCDF import")
endif()

set(gridpick_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/gridpick)
install(EXPORT gridpickTargets NAMESPACE gridpick:: DESTINATION ${gridpick_cmake_dir})
include(CMakePackageConfigHelpers)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/gridpickConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_SOURCE_DIR}/cmake/gridpickConfig.cmake
              ${PROJECT_BINARY_DIR}/gridpickConfigVersion.cmake
        DESTINATION ${gridpick_cmake_dir})
