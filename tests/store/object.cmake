amt_add_test(store_object SOURCES tst_object.cpp LIBS store_testsupport)
