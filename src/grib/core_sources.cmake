# Coding and decoding core of the codec.
set(GRIB_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/grib_state.cpp
  ${CMAKE_CURRENT_LIST_DIR}/grib_bits.cpp
  ${CMAKE_CURRENT_LIST_DIR}/grib_ibm.cpp
)
