amt_add_test(mainwindow_screenshot SOURCES tst_screenshot.cpp ${CMAKE_SOURCE_DIR}/resources/resources.qrc LIBS mainwindow mainwindow_testsupport XVFB)
