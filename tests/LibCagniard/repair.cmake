amt_add_test(LibCagniard_repair SOURCES tst_repair.cpp LIBS LibCagniard)
