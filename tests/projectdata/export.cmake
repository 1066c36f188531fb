amt_add_test(projectdata_export SOURCES tst_export.cpp RunFixture.cpp RunFixture.h LIBS projectdata_testsupport)
