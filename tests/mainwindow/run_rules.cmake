amt_add_test(mainwindow_run_rules SOURCES tst_runrules.cpp LIBS mainwindow)
