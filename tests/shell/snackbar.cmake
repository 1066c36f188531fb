amt_add_test(shell_snackbar SOURCES tst_snackbar.cpp LIBS shell)
