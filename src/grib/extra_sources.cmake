# Checks, listings, grid expansion, bit maps and the line formatter.
set(GRIB_EXTRA_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/grib_format.cpp
  ${CMAKE_CURRENT_LIST_DIR}/grib_check.cpp
  ${CMAKE_CURRENT_LIST_DIR}/grib_print.cpp
  ${CMAKE_CURRENT_LIST_DIR}/grib_qu2reg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/grib_bitmap.cpp
)
