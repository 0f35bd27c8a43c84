list(APPEND PORTABLE_SOURCES
    src/install/install_sequence.cpp)
list(APPEND WINDOWS_SOURCES
    src/install/folder.cpp
    src/install/shortcut.cpp
    src/install/copy_dialog.cpp)
