amt_add_test(LibCagniard_targets SOURCES tst_targets.cpp LIBS LibCagniard)
