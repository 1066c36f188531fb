amt_add_test(projectdata_run SOURCES tst_run.cpp RunFixture.cpp RunFixture.h LIBS projectdata_testsupport amtsim)
