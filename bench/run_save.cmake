# Recalculating a stored station on the thread pool, and saving a run of five large channels
# against cp on the same disk.
add_executable(bench_run_save ${CMAKE_CURRENT_SOURCE_DIR}/bench_run_save.cpp
  ${CMAKE_SOURCE_DIR}/tests/projectdata/ProjectBuilder.cpp ${CMAKE_SOURCE_DIR}/tests/projectdata/ProjectBuilder.h)
target_include_directories(bench_run_save PRIVATE ${CMAKE_SOURCE_DIR}/tests/projectdata)
target_link_libraries(bench_run_save PRIVATE projectdata Qt5::Test benchmark::benchmark)
