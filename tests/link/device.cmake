amt_add_test(link_device SOURCES tst_device.cpp LIBS link)
