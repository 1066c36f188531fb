# The fault table in six parts that ctest can run side by side.
foreach(part 1 2 3 4 5 6)
  amt_add_test(mainwindow_e2e_faults_${part} SOURCES tst_e2efaults.cpp FaultChecks.cpp E2eSteps.cpp
               ${CMAKE_SOURCE_DIR}/resources/resources.qrc LIBS e2esupport mainwindow projectdata_testsupport)
  target_compile_definitions(mainwindow_e2e_faults_${part} PRIVATE FAULT_TABLE_PART=${part})
  set_tests_properties(mainwindow_e2e_faults_${part} PROPERTIES TIMEOUT 600)
  set_property(TEST mainwindow_e2e_faults_${part} APPEND PROPERTY LABELS e2e)
endforeach()
