gridpick_add_test(grib_extra_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/format_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/check_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/print_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/bitmap_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/qu2reg_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/codec_extra_test.cpp
  LIBS gp_grib gp_testsupport)
