# The main-window tests' own application folder.
add_library(mainwindow_testsupport STATIC ${AREA_DIR}/AppFolder.cpp ${AREA_DIR}/AppFolder.h)
target_include_directories(mainwindow_testsupport PUBLIC ${AREA_DIR})
target_link_libraries(mainwindow_testsupport PUBLIC mainwindow)
