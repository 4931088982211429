# The floor under gridpick's output: the same files written with one write
# each (bench/extract-timings).
add_executable(write_floor ${CMAKE_CURRENT_SOURCE_DIR}/write_floor.cpp)
