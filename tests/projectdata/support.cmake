# Shared by the project-data tests: a project filler and the store tests' file helpers
# (sqlite3 client, message log, temporary project files).
find_package(SQLite3 REQUIRED)
add_library(projectdata_testsupport STATIC
  ${AREA_DIR}/ProjectBuilder.cpp ${AREA_DIR}/ProjectBuilder.h ${AREA_DIR}/TestFiles.cpp ${AREA_DIR}/TestFiles.h
  ${CMAKE_CURRENT_SOURCE_DIR}/store/StoreTestSupport.cpp ${CMAKE_CURRENT_SOURCE_DIR}/store/StoreTestSupport.h)
target_include_directories(projectdata_testsupport PUBLIC ${AREA_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/store)
target_link_libraries(projectdata_testsupport PUBLIC projectdata SQLite::SQLite3 Qt5::Test)
