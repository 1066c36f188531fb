# Opening a season's project into the tree and closing it; the project is filled as the tests fill one.
add_executable(bench_project_tree ${CMAKE_CURRENT_SOURCE_DIR}/bench_project_tree.cpp
  ${CMAKE_SOURCE_DIR}/tests/projectdata/ProjectBuilder.cpp ${CMAKE_SOURCE_DIR}/tests/projectdata/ProjectBuilder.h)
target_include_directories(bench_project_tree PRIVATE ${CMAKE_SOURCE_DIR}/tests/projectdata)
target_link_libraries(bench_project_tree PRIVATE projectdata benchmark::benchmark)
