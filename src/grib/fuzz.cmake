# libFuzzer target for decoding untrusted messages (clang, -DGRIDPICK_FUZZ=ON).
if(GRIDPICK_FUZZ AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  add_executable(fuzz_fldcod_decode ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_fldcod.cpp
                 ${GRIB_CORE_SOURCES} ${GRIB_EXTRA_SOURCES})
  target_include_directories(fuzz_fldcod_decode PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_options(fuzz_fldcod_decode PRIVATE -fsanitize=fuzzer,address,undefined
                         -fno-sanitize-recover=undefined)
  target_link_options(fuzz_fldcod_decode PRIVATE -fsanitize=fuzzer,address,undefined)
endif()
