amt_add_test(mainwindow_titleband SOURCES tst_titleband.cpp LIBS mainwindow)
