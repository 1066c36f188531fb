# Renders both data views with synthetic data to PNG files (run under Xvfb).
add_executable(amt-viewshots ${CMAKE_CURRENT_SOURCE_DIR}/viewshots/viewshots_main.cpp)
target_link_libraries(amt-viewshots PRIVATE views)
