amt_add_test(link_codec SOURCES tst_codec.cpp LIBS link)
