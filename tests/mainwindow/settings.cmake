amt_add_test(mainwindow_settings SOURCES tst_settings.cpp ${CMAKE_SOURCE_DIR}/resources/resources.qrc
             LIBS mainwindow mainwindow_testsupport)
