amt_add_test(common_constants SOURCES tst_constants.cpp LIBS common)
