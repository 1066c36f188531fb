# The simulator's resident memory over hundreds of stations.
add_executable(bench_simulator_memory ${CMAKE_CURRENT_SOURCE_DIR}/simulator_memory.cpp)
target_link_libraries(bench_simulator_memory PRIVATE amtsim benchmark::benchmark Qt5::Network)
target_compile_definitions(bench_simulator_memory PRIVATE AMT_SIMULATOR_PATH="$<TARGET_FILE:amt-simulator>")
add_dependencies(bench_simulator_memory amt-simulator)
