amt_add_test(shell_startup SOURCES tst_startup.cpp ${CMAKE_SOURCE_DIR}/resources/resources.qrc LIBS shell)
