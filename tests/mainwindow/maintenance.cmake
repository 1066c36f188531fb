amt_add_test(mainwindow_maintenance SOURCES tst_maintenance.cpp ConnectedWindow.cpp LIBS e2esupport mainwindow link)
set_property(TEST mainwindow_maintenance APPEND PROPERTY LABELS e2e)
