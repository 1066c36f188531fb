amt_add_test(LibCagniard_fft SOURCES tst_fft.cpp LIBS LibCagniard)
