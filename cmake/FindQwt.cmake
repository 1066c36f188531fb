# Debian's Qt5Qwt6.pc asks for Qt5OpenGL.pc, so look for the header and library directly.
find_path(QWT_INCLUDE_DIR qwt_plot.h PATHS /usr/include/qwt /usr/include/qt5/qwt /usr/local/include/qwt)
find_library(QWT_LIBRARY NAMES qwt-qt5 qwt6-qt5 qwt PATHS /usr/lib /usr/lib/x86_64-linux-gnu)
if(NOT QWT_INCLUDE_DIR OR NOT QWT_LIBRARY)
  message(FATAL_ERROR "Qwt 6.1 for Qt 5 not found (Debian package libqwt-qt5-dev)")
endif()
add_library(Qwt::Qwt UNKNOWN IMPORTED)
set_target_properties(Qwt::Qwt PROPERTIES
  IMPORTED_LOCATION ${QWT_LIBRARY}
  INTERFACE_INCLUDE_DIRECTORIES ${QWT_INCLUDE_DIR}
  INTERFACE_LINK_LIBRARIES "Qt5::Widgets;Qt5::Gui;Qt5::Core")
