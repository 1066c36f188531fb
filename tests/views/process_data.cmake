amt_add_test(views_process_data SOURCES tst_process_data.cpp LIBS views)
