list(APPEND PORTABLE_SOURCES
    src/script/text.cpp
    src/script/script.cpp)
