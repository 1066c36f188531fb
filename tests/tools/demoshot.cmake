amt_add_test(tools_demoshot SOURCES tst_demoshot.cpp LIBS Qt5::Gui XVFB)
target_compile_definitions(tools_demoshot PRIVATE DEMOSHOT_TOOL="$<TARGET_FILE:amt-demoshot>")
add_dependencies(tools_demoshot amt-demoshot)
set_property(TEST tools_demoshot APPEND PROPERTY LABELS e2e)
