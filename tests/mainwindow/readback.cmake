amt_add_test(mainwindow_readback SOURCES tst_readback.cpp ConnectedWindow.cpp E2eSteps.cpp
             LIBS e2esupport mainwindow link projectdata_testsupport)
set_property(TEST mainwindow_readback APPEND PROPERTY LABELS e2e)
