amt_add_test(mainwindow_e2e_inflight SOURCES tst_e2einflight.cpp E2eSteps.cpp
             ${CMAKE_SOURCE_DIR}/resources/resources.qrc LIBS e2esupport mainwindow projectdata_testsupport)
set_property(TEST mainwindow_e2e_inflight APPEND PROPERTY LABELS e2e)
