# Paging the time-series view through a five-channel recording, 262144 samples per page, offscreen
# at 1200 x 680, against plain curves that draw every point.
add_executable(bench_views_paging ${CMAKE_CURRENT_SOURCE_DIR}/bench_views_paging.cpp)
target_link_libraries(bench_views_paging PRIVATE views benchmark::benchmark)
