amt_add_test(projectdata_rename SOURCES tst_rename.cpp RunFixture.cpp RunFixture.h LIBS projectdata_testsupport)
