amt_add_test(views_view_sets SOURCES tst_view_sets.cpp LIBS views)
