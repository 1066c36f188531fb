amt_add_test(mainwindow_status_bar SOURCES tst_statusbar.cpp ${CMAKE_SOURCE_DIR}/resources/resources.qrc LIBS mainwindow)
