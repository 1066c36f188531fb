amt_add_test(mainwindow_e2e_runcut SOURCES tst_e2eruncut.cpp FaultChecks.cpp E2eSteps.cpp
             ${CMAKE_SOURCE_DIR}/resources/resources.qrc LIBS e2esupport mainwindow projectdata_testsupport)
set_property(TEST mainwindow_e2e_runcut APPEND PROPERTY LABELS e2e)
