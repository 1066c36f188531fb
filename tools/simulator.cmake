# The instrument simulator: a library that tests run in their own event loop, and a
# command-line program for manual runs and benchmarks.
file(GLOB amtsim_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/simulator/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/simulator/*.h)
list(FILTER amtsim_sources EXCLUDE REGEX "simulator_main\\.cpp$")
add_library(amtsim STATIC ${amtsim_sources})
target_link_libraries(amtsim PUBLIC common LibCagniard Qt5::Core Qt5::Network)

add_executable(amt-simulator ${CMAKE_CURRENT_SOURCE_DIR}/simulator/simulator_main.cpp)
target_link_libraries(amt-simulator PRIVATE amtsim)
