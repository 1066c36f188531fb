amt_add_test(dialogs_styled_forms SOURCES tst_styled_forms.cpp ${CMAKE_SOURCE_DIR}/resources/resources.qrc LIBS dialogs)
