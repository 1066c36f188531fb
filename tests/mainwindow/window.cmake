amt_add_test(mainwindow_window SOURCES tst_mainwindow.cpp ${CMAKE_SOURCE_DIR}/resources/resources.qrc LIBS mainwindow mainwindow_testsupport Qt5::Concurrent)
