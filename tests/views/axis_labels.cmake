amt_add_test(views_axis_labels SOURCES tst_axis_labels.cpp AtsFixture.cpp AtsFixture.h LIBS views)
