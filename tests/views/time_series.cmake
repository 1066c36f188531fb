amt_add_test(views_time_series SOURCES tst_time_series.cpp AtsFixture.cpp AtsFixture.h LIBS views)
