amt_add_test(link_com SOURCES tst_com.cpp LIBS link)
