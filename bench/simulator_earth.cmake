# The simulator's earth: one group's five channel blocks (30 windows of 16384 samples at 4000 Hz).
add_executable(bench_simulator_earth ${CMAKE_CURRENT_SOURCE_DIR}/bench_simulator_earth.cpp)
target_link_libraries(bench_simulator_earth PRIVATE amtsim benchmark::benchmark)
