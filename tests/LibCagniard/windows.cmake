amt_add_test(LibCagniard_windows SOURCES tst_windows.cpp LIBS LibCagniard)
