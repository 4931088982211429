# Tests of the coding and decoding core of the codec.
set(GRIB_CORE_TEST_DIR ${CMAKE_CURRENT_LIST_DIR})
gridpick_add_test(grib_core_test
  SOURCES ${GRIB_CORE_TEST_DIR}/bits_test.cpp
          ${GRIB_CORE_TEST_DIR}/ibm_test.cpp
          ${GRIB_CORE_TEST_DIR}/fldcod_test.cpp
          ${GRIB_CORE_TEST_DIR}/fldcod_types_test.cpp
          ${GRIB_CORE_TEST_DIR}/fldcod_editions_test.cpp
          ${GRIB_CORE_TEST_DIR}/c_caller.c
  LIBS gp_grib gp_testsupport)
target_include_directories(grib_core_test PRIVATE ${GRIB_CORE_TEST_DIR})
