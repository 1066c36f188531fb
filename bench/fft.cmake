# One forward real transform of 16384 points: ours against FFTW's r2c plan (reference only).
find_package(PkgConfig REQUIRED)
pkg_check_modules(FFTW3 REQUIRED IMPORTED_TARGET fftw3)
add_executable(bench_fft ${CMAKE_CURRENT_SOURCE_DIR}/bench_fft.cpp)
target_link_libraries(bench_fft PRIVATE LibCagniard PkgConfig::FFTW3 benchmark::benchmark)
