amt_add_test(tools_simulator_listing SOURCES tst_simulator_listing.cpp ../link/LinkFixture.cpp ../link/LinkFixture.h
             LIBS amtsim link dialogs)
