amt_add_test(link_flows SOURCES tst_flows.cpp LinkFixture.cpp LinkFixture.h LIBS link amtsim)
