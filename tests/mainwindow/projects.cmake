amt_add_test(mainwindow_projects SOURCES tst_projects.cpp ${CMAKE_SOURCE_DIR}/resources/resources.qrc
             LIBS mainwindow mainwindow_testsupport projectdata_testsupport)
