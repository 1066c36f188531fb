amt_add_test(mainwindow_toolbar_states SOURCES tst_toolbarstates.cpp LIBS mainwindow)
# The form's header comes from the mainwindow library.
set_target_properties(mainwindow_toolbar_states PROPERTIES AUTOUIC OFF)
