# libFuzzer targets, built with clang when BUILD_FUZZERS is on (target "fuzzers") into
# <build>/fuzzers/, where scripts/fuzz runs every one of them. A target is one line:
# amt_add_fuzzer(<name> SOURCES <files below tests/> LIBS <libraries>)
set(AMT_TESTS_DIR ${CMAKE_CURRENT_LIST_DIR})
add_custom_target(fuzzers)

function(amt_add_fuzzer name)
  cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
  list(TRANSFORM F_SOURCES PREPEND ${AMT_TESTS_DIR}/)
  add_executable(${name} ${F_SOURCES})
  foreach(source ${F_SOURCES})
    get_filename_component(dir ${source} DIRECTORY)
    target_include_directories(${name} PRIVATE ${dir})
  endforeach()
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzzers)
  add_dependencies(fuzzers ${name})
endfunction()

amt_add_fuzzer(fuzz_frame_parser SOURCES link/fuzz_frame_parser.cpp LIBS link)
amt_add_fuzzer(fuzz_libcom SOURCES link/fuzz_libcom.cpp link/LinkFixture.cpp LIBS link amtsim Qt5::Test)
amt_add_fuzzer(fuzz_listings SOURCES dialogs/fuzz_listings.cpp LIBS dialogs)
amt_add_fuzzer(fuzz_station_text SOURCES mainwindow/fuzz_station_text.cpp LIBS mainwindow)
