# The crash tests run a child that kills itself at a chosen step of a save or rename.
add_executable(projectdata_journal_child ${AREA_DIR}/JournalChild.cpp ${AREA_DIR}/RunFixture.cpp ${AREA_DIR}/RunFixture.h)
target_include_directories(projectdata_journal_child PRIVATE ${AREA_DIR})
target_link_libraries(projectdata_journal_child PRIVATE projectdata_testsupport testsupport Qt5::Test)
amt_add_test(projectdata_journal SOURCES tst_journal.cpp RunFixture.cpp RunFixture.h LIBS projectdata_testsupport)
add_dependencies(projectdata_journal projectdata_journal_child)
target_compile_definitions(projectdata_journal PRIVATE JOURNAL_CHILD="$<TARGET_FILE:projectdata_journal_child>")
