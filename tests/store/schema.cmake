amt_add_test(store_schema SOURCES tst_schema.cpp LIBS store_testsupport)
