amt_add_test(mainwindow_e2e_phase SOURCES tst_e2ephase.cpp E2eSteps.cpp ${CMAKE_SOURCE_DIR}/resources/resources.qrc
             LIBS e2esupport mainwindow projectdata_testsupport)
set_property(TEST mainwindow_e2e_phase APPEND PROPERTY LABELS e2e)
