amt_add_test(tools_simulator_earth SOURCES tst_simulator_earth.cpp LIBS amtsim LibCagniard dialogs)
target_compile_definitions(tools_simulator_earth PRIVATE AMT_PROGRAM_DIR="${AMT_PROGRAM_DIR}")
