amt_add_test(views_plot_matrix SOURCES tst_plot_matrix.cpp LIBS views)
