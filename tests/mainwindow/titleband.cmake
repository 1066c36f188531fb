amt_add_test(mainwindow_titleband SOURCES tst_titleband.cpp ${CMAKE_SOURCE_DIR}/resources/resources.qrc LIBS mainwindow mainwindow_testsupport)
