# Two programs on one project: a child holds it open, or holds a change at a chosen step.
add_executable(projectdata_holding_child ${AREA_DIR}/HoldingChild.cpp ${AREA_DIR}/RunFixture.cpp ${AREA_DIR}/RunFixture.h)
target_include_directories(projectdata_holding_child PRIVATE ${AREA_DIR})
target_link_libraries(projectdata_holding_child PRIVATE projectdata_testsupport testsupport Qt5::Test)
amt_add_test(projectdata_lock SOURCES tst_lock.cpp RunFixture.cpp RunFixture.h LIBS projectdata_testsupport)
add_dependencies(projectdata_lock projectdata_holding_child)
target_compile_definitions(projectdata_lock PRIVATE HOLDING_CHILD="$<TARGET_FILE:projectdata_holding_child>")
