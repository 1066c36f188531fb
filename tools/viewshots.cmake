# Renders both data views and the sensor and task dialogs, styled, to PNG files (run under Xvfb).
add_executable(amt-viewshots ${CMAKE_CURRENT_SOURCE_DIR}/viewshots/viewshots_main.cpp
               ${CMAKE_CURRENT_SOURCE_DIR}/viewshots/DialogShots.cpp ${CMAKE_CURRENT_SOURCE_DIR}/viewshots/DialogShots.h
               ${CMAKE_SOURCE_DIR}/resources/resources.qrc)
target_link_libraries(amt-viewshots PRIVATE views dialogs shell)
