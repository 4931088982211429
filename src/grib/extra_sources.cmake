# Checks, listings, grid expansion, bit maps and the line formatter.
set(GRIB_EXTRA_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/grib_format.cpp
)
