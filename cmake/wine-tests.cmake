# Windows test programs that run under wine64: GoogleTest built for the
# target, the wine fixture, and one ctest test per GoogleTest suite.
include_guard(GLOBAL)

# GoogleTest from Debian's sources, built for x86_64-w64-mingw32. No pthreads
# on this target; the programs link everything statically so that Wine needs
# no MinGW DLLs beside them.
set(PELMORA_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
if(NOT EXISTS ${PELMORA_GTEST_SOURCE}/CMakeLists.txt)
    message(FATAL_ERROR "GoogleTest sources missing in ${PELMORA_GTEST_SOURCE}: "
                        "install googletest (tools/deps.sh)")
endif()
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${PELMORA_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# The win32 thread model of Debian's MinGW compiler has no std::mutex, which
# GoogleTest's Notification needs; a replacement comes in through GoogleTest's
# custom header hook, found before GoogleTest's own headers.
target_include_directories(gtest BEFORE PUBLIC ${CMAKE_SOURCE_DIR}/cmake/gtest_port)

# The prefix and the X display for the whole run. wine_setup makes them,
# wine_cleanup ends them; every Windows test requires the fixture.
set(PELMORA_WINE_ENV ${CMAKE_SOURCE_DIR}/tools/wine-env.sh)
# The end-to-end tests save their screenshots into e2e-artifacts.
add_test(NAME wine_setup COMMAND ${PELMORA_WINE_ENV} start ${PELMORA_WINE_STATE}
                                 ${CMAKE_BINARY_DIR}/e2e-artifacts)
set_tests_properties(wine_setup PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
add_test(NAME wine_cleanup COMMAND ${PELMORA_WINE_ENV} stop ${PELMORA_WINE_STATE})
set_tests_properties(wine_cleanup PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 120)

# pelmora_add_wine_gtest(<target> SOURCES <files...> [ARGS <args...>] [TIMEOUT <s>])
# Adds one ctest test "<target>.<Suite>" per TEST/TEST_F/TEST_P suite found in
# the sources, each running the program under the emulator with
# --gtest_filter for its suite. Tests found at configure time, not by running
# the program, because the Wine prefix only exists once wine_setup has run.
# All of them share one desktop, so they take the desktop lock in turn.
function(pelmora_add_wine_gtest target)
    cmake_parse_arguments(PARSE_ARGV 1 WINE_GTEST "" "TIMEOUT" "SOURCES;ARGS")
    if(NOT WINE_GTEST_TIMEOUT)
        set(WINE_GTEST_TIMEOUT 300)
    endif()
    set(suites)
    foreach(source IN LISTS WINE_GTEST_SOURCES)
        # A new suite in an existing file reconfigures on the next build.
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
        file(STRINGS ${source} lines REGEX "^[ \t]*TEST(_F|_P)?[ \t]*\\(")
        foreach(line IN LISTS lines)
            if(line MATCHES "^[ \t]*TEST(_F|_P)?[ \t]*\\([ \t]*([A-Za-z_][A-Za-z0-9_]*)")
                list(APPEND suites ${CMAKE_MATCH_2})
            endif()
        endforeach()
    endforeach()
    list(REMOVE_DUPLICATES suites)
    if(NOT suites)
        # An empty program still runs once, so a broken build shows.
        set(suites "*")
    endif()
    foreach(suite IN LISTS suites)
        if(suite STREQUAL "*")
            set(name ${target})
            set(filter "*")
        else()
            set(name ${target}.${suite})
            set(filter "${suite}.*:*/${suite}.*")
        endif()
        add_test(NAME ${name}
                 COMMAND ${target} --gtest_filter=${filter} --gtest_color=no
                         ${WINE_GTEST_ARGS})
        set_tests_properties(${name} PROPERTIES
            FIXTURES_REQUIRED wine
            RESOURCE_LOCK wine_desktop
            TIMEOUT ${WINE_GTEST_TIMEOUT})
    endforeach()
endfunction()

# A GoogleTest program for the target, linked statically.
function(pelmora_add_wine_test_program target)
    add_executable(${target} ${ARGN})
    target_link_libraries(${target} PRIVATE gtest)
    target_link_options(${target} PRIVATE -static)
endfunction()
