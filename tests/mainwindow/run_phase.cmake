amt_add_test(mainwindow_run_phase SOURCES tst_runphase.cpp LIBS mainwindow)
