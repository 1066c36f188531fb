add_executable(bench_libcom_throughput ${CMAKE_CURRENT_SOURCE_DIR}/libcom_throughput.cpp)
target_link_libraries(bench_libcom_throughput PRIVATE link benchmark::benchmark Qt5::Network)
target_compile_definitions(bench_libcom_throughput PRIVATE AMT_SIMULATOR_PATH="$<TARGET_FILE:amt-simulator>")
add_dependencies(bench_libcom_throughput amt-simulator)
