# One recording's impedance curve against the floor of its work: reading both files and one FFTW
# real transform per window and channel (FFTW for reference only).
find_package(PkgConfig REQUIRED)
pkg_check_modules(FFTW3 REQUIRED IMPORTED_TARGET fftw3)
add_executable(bench_impedance ${CMAKE_CURRENT_SOURCE_DIR}/bench_impedance.cpp)
target_link_libraries(bench_impedance PRIVATE LibCagniard PkgConfig::FFTW3 benchmark::benchmark)
