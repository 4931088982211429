# libFuzzer targets (clang, -DGRIDPICK_FUZZ=ON): decoding untrusted messages,
# and coding fields built from the input and decoding them again.
if(GRIDPICK_FUZZ AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  function(grib_fuzz_target name source)
    add_executable(${name} ${CMAKE_CURRENT_SOURCE_DIR}/${source}
                   ${GRIB_CORE_SOURCES} ${GRIB_EXTRA_SOURCES})
    target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}
                               ${CMAKE_CURRENT_SOURCE_DIR}/include ${PROJECT_SOURCE_DIR}/src/util/include)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined
                           -fno-sanitize-recover=undefined)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  endfunction()
  grib_fuzz_target(fuzz_fldcod_decode fuzz_fldcod.cpp)
  grib_fuzz_target(fuzz_fldcod_code fuzz_fldcod_code.cpp)
endif()
