list(APPEND PORTABLE_SOURCES
    src/shell/state.cpp
    src/shell/settings_logic.cpp
    src/shell/dll_search_plan.cpp)
list(APPEND WINDOWS_SOURCES
    src/shell/handles.cpp
    src/shell/backdrop.cpp
    src/shell/settings_dialog.cpp)
# Only in setup.exe: the entry and its own run-time support.
list(APPEND ENTRY_SOURCES
    src/shell/main.cpp
    src/shell/dll_search.cpp
    src/shell/runtime.cpp)
