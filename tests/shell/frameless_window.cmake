amt_add_test(shell_frameless_window SOURCES tst_framelesswindow.cpp LIBS shell XVFB)
