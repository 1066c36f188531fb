amt_add_test(projectdata_calc SOURCES tst_calc.cpp RunFixture.cpp RunFixture.h LIBS projectdata_testsupport)
