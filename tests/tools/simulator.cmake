amt_add_test(tools_simulator SOURCES tst_simulator.cpp LIBS amtsim)
target_compile_definitions(tools_simulator PRIVATE AMT_SIMULATOR_PATH="$<TARGET_FILE:amt-simulator>")
add_dependencies(tools_simulator amt-simulator)
