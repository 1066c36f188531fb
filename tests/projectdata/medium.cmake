# A project on a small or read-only file system of its own (mounted when the test runs as root).
amt_add_test(projectdata_medium SOURCES tst_medium.cpp RunFixture.cpp RunFixture.h LIBS projectdata_testsupport)
add_dependencies(projectdata_medium projectdata_holding_child)
target_compile_definitions(projectdata_medium PRIVATE HOLDING_CHILD="$<TARGET_FILE:projectdata_holding_child>")
