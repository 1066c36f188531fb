amt_add_test(link_libcom SOURCES tst_libcom.cpp LinkFixture.cpp LinkFixture.h LIBS link amtsim)
