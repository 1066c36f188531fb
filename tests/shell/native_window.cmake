amt_add_test(shell_native_window SOURCES tst_nativewindow.cpp FakeNativeBackend.cpp FakeNativeBackend.h LIBS shell)
