# The archive reader and the decoding of the extraction program, on a day of
# full-size synthetic archive made by mkarchive in the temporary directory.
# Whole-program figures: bench/extract-timings.
add_executable(extract_bench ${CMAKE_CURRENT_LIST_DIR}/extract_bench.cpp)
target_link_libraries(extract_bench PRIVATE gp_extract benchmark::benchmark)
target_compile_definitions(extract_bench PRIVATE
  MKARCHIVE="$<TARGET_FILE:mkarchive>")
add_dependencies(extract_bench mkarchive)
