# ov library: writing and reading back data sets against plain write/read.
add_executable(bench_ov ${CMAKE_CURRENT_SOURCE_DIR}/ov_bench.cpp)
target_link_libraries(bench_ov PRIVATE gp_ov benchmark::benchmark)
