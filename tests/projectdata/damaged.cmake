amt_add_test(projectdata_damaged SOURCES tst_damaged.cpp RunFixture.cpp RunFixture.h LIBS projectdata_testsupport)
