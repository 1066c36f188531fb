amt_add_test(mainwindow_form SOURCES tst_form.cpp ${CMAKE_SOURCE_DIR}/resources/resources.qrc LIBS mainwindow)
# The form's header comes from the mainwindow library.
set_target_properties(mainwindow_form PROPERTIES AUTOUIC OFF)
