# Coding and decoding core of the codec.
set(GRIB_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/grib_state.cpp
  ${CMAKE_CURRENT_LIST_DIR}/grib_bits.cpp
  ${CMAKE_CURRENT_LIST_DIR}/grib_ibm.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fldcod.cpp
  ${CMAKE_CURRENT_LIST_DIR}/return_codes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/section0_5.cpp
  ${CMAKE_CURRENT_LIST_DIR}/section1.cpp
  ${CMAKE_CURRENT_LIST_DIR}/section2.cpp
  ${CMAKE_CURRENT_LIST_DIR}/section3.cpp
  ${CMAKE_CURRENT_LIST_DIR}/section4.cpp
  ${CMAKE_CURRENT_LIST_DIR}/expand.cpp
)
