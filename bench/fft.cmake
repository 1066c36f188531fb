# One forward real transform of 16384 points: ours against FFTW's r2c plan (reference only).
find_path(FFTW3_INCLUDE_DIR fftw3.h REQUIRED)
find_library(FFTW3_LIBRARY fftw3 REQUIRED)
add_executable(bench_fft ${CMAKE_CURRENT_SOURCE_DIR}/bench_fft.cpp)
target_include_directories(bench_fft PRIVATE ${FFTW3_INCLUDE_DIR})
target_link_libraries(bench_fft PRIVATE LibCagniard ${FFTW3_LIBRARY} benchmark::benchmark)
