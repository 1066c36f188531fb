amt_add_test(mainwindow_e2e_fixture SOURCES tst_e2efixture.cpp LIBS e2esupport mainwindow link)
set_property(TEST mainwindow_e2e_fixture APPEND PROPERTY LABELS e2e)
