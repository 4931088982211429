gridpick_add_test(grib_extra_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/format_test.cpp
  LIBS gp_grib)
