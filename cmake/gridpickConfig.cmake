# find_package(gridpick): the imported targets gridpick::grib (the GRIB
# edition 1 codec, grib.h) and gridpick::ov (the ov library with its netCDF
# import, ov.h, ov_cdf.h, util.h and ov.inc for Fortran), both shared.
include(${CMAKE_CURRENT_LIST_DIR}/gridpickTargets.cmake)
