list(APPEND WINDOWS_SOURCES
    src/install/copy_dialog.cpp)
