amt_add_test(shell_logger SOURCES tst_logger.cpp LIBS shell)
