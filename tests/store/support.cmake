# Fixture classes and helpers shared by the store tests; the statement trace needs SQLite's own API.
find_package(SQLite3 REQUIRED)
add_library(store_testsupport STATIC
  ${AREA_DIR}/StoreFixtures.h ${AREA_DIR}/StoreTestSupport.cpp ${AREA_DIR}/StoreTestSupport.h)
target_include_directories(store_testsupport PUBLIC ${AREA_DIR})
target_link_libraries(store_testsupport PUBLIC store SQLite::SQLite3 Qt5::Test)
