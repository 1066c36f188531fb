amt_add_test(dialogs_sample_task SOURCES tst_sample_task.cpp LIBS dialogs)
