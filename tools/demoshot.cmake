# A whole demo run through the main window against the in-process instrument simulator, grabbed
# to a PNG (run under Xvfb). It drives the window with the end-to-end tests' fixture and scripted
# prompt, so it is built with the tests.
if(BUILD_TESTING)
  add_executable(amt-demoshot ${CMAKE_CURRENT_SOURCE_DIR}/demoshot/demoshot_main.cpp
                 ${CMAKE_CURRENT_SOURCE_DIR}/demoshot/DemoRun.cpp ${CMAKE_CURRENT_SOURCE_DIR}/demoshot/DemoRun.h
                 ${CMAKE_SOURCE_DIR}/resources/resources.qrc)
  target_link_libraries(amt-demoshot PRIVATE e2esupport mainwindow shell)
endif()
