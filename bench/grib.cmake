# Codec benchmarks.
add_executable(bench_grib ${CMAKE_CURRENT_LIST_DIR}/grib_bench.cpp)
target_link_libraries(bench_grib PRIVATE gp_grib benchmark::benchmark)
