amt_add_test(views_viewshots SOURCES tst_viewshots.cpp LIBS Qt5::Gui XVFB)
target_compile_definitions(views_viewshots PRIVATE VIEWSHOTS_TOOL="$<TARGET_FILE:amt-viewshots>")
add_dependencies(views_viewshots amt-viewshots)
