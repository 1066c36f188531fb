# One recording's impedance curve against the floor of its work: reading both files and one FFTW
# real transform per window and channel (FFTW for reference only).
find_path(FFTW3_INCLUDE_DIR fftw3.h REQUIRED)
find_library(FFTW3_LIBRARY fftw3 REQUIRED)
add_executable(bench_impedance ${CMAKE_CURRENT_SOURCE_DIR}/bench_impedance.cpp)
target_include_directories(bench_impedance PRIVATE ${FFTW3_INCLUDE_DIR})
target_link_libraries(bench_impedance PRIVATE LibCagniard ${FFTW3_LIBRARY} benchmark::benchmark)
