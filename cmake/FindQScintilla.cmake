# Finds QScintilla for Qt 6 (Debian 12: libqscintilla2-qt6-dev, headers in <qt6 include>/Qsci,
# library libqscintilla2_qt6) and defines the imported target QScintilla::QScintilla.
#   QScintilla_FOUND, QScintilla_INCLUDE_DIR, QScintilla_LIBRARY
find_package(Qt6 COMPONENTS Core Gui Widgets QUIET)
set(_qsci_hints)
if(TARGET Qt6::Core)
    get_target_property(_qt_includes Qt6::Core INTERFACE_INCLUDE_DIRECTORIES)
    foreach(dir IN LISTS _qt_includes)
        get_filename_component(_parent ${dir} DIRECTORY)
        list(APPEND _qsci_hints ${dir} ${_parent})
    endforeach()
endif()
find_path(QScintilla_INCLUDE_DIR Qsci/qsciscintilla.h
    HINTS ${_qsci_hints}
    PATH_SUFFIXES qt6 x86_64-linux-gnu/qt6 aarch64-linux-gnu/qt6)
find_library(QScintilla_LIBRARY NAMES qscintilla2_qt6)

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(QScintilla
    REQUIRED_VARS QScintilla_LIBRARY QScintilla_INCLUDE_DIR)

if(QScintilla_FOUND AND NOT TARGET QScintilla::QScintilla)
    add_library(QScintilla::QScintilla UNKNOWN IMPORTED)
    set_target_properties(QScintilla::QScintilla PROPERTIES
        IMPORTED_LOCATION ${QScintilla_LIBRARY}
        INTERFACE_INCLUDE_DIRECTORIES ${QScintilla_INCLUDE_DIR}
        INTERFACE_LINK_LIBRARIES "Qt6::Widgets;Qt6::Gui;Qt6::Core")
endif()
mark_as_advanced(QScintilla_INCLUDE_DIR QScintilla_LIBRARY)
