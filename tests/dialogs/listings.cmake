amt_add_test(dialogs_listings SOURCES tst_listings.cpp LIBS dialogs)
amt_add_test(dialogs_disk_space_delete SOURCES tst_disk_space_delete.cpp LIBS dialogs)
amt_add_test(dialogs_export_data SOURCES tst_export_data.cpp LIBS dialogs)
