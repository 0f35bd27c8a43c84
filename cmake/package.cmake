# The release kit for vendors, made in the 32-bit build:
#   cmake --build --preset win32 --target package
# gives pelmora-setup-<major>.<minor>-win32.zip with the setup.exe of this
# build tree (the very file its tests ran), setupcheck.exe, the 64-bit
# setup.exe in x64/, the sample medium ready to copy (with setup.exe) and
# the documents of docs/ as Shift-JIS text with CR LF.
if(NOT WIN32 OR NOT CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    return()
endif()

# The 64-bit setup.exe from the same sources, built in a tree of its own
# inside this one, so that the kit never depends on another build folder
# being there or being current.
include(ExternalProject)
set(PELMORA_SETUP64_DIR ${CMAKE_BINARY_DIR}/setup64)
# $(MAKE) shares this build's make jobs; only setup.exe is built there.
set(build_setup64 ${CMAKE_COMMAND} --build <BINARY_DIR> --target setup)
if(CMAKE_GENERATOR MATCHES "Makefiles")
    set(build_setup64 $(MAKE) setup)
endif()
ExternalProject_Add(setup64
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${PELMORA_SETUP64_DIR}
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-x86_64.cmake
               -DCMAKE_BUILD_TYPE=Release
    BUILD_COMMAND ${build_setup64}
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS ${PELMORA_SETUP64_DIR}/setup.exe
    INSTALL_COMMAND "")

# The text files, generated from their one Markdown source each.
set(PELMORA_KIT_TEXT ${CMAKE_BINARY_DIR}/kit-text)
set(texts)
foreach(pair "kit-readme.ja:readme" "setup-ini.ja:setup-ini.ja" "setup-ini:setup-ini.en")
    string(REPLACE ":" ";" pair ${pair})
    list(GET pair 0 source)
    list(GET pair 1 name)
    add_custom_command(
        OUTPUT ${PELMORA_KIT_TEXT}/${name}.txt
        COMMAND ${CMAKE_COMMAND} -E make_directory ${PELMORA_KIT_TEXT}
        COMMAND ${PROJECT_SOURCE_DIR}/tools/kit/text.sh ${PROJECT_SOURCE_DIR}/docs/${source}.md
                ${PELMORA_KIT_TEXT}/${name}.txt
        DEPENDS ${PROJECT_SOURCE_DIR}/docs/${source}.md ${PROJECT_SOURCE_DIR}/tools/kit/text.sh
        VERBATIM)
    list(APPEND texts ${PELMORA_KIT_TEXT}/${name}.txt)
endforeach()
add_custom_target(kit_texts ALL DEPENDS ${texts})

# Programs are copied as built (no strip, no relink).
install(PROGRAMS $<TARGET_FILE:setup> $<TARGET_FILE:setupcheck> DESTINATION . COMPONENT kit)
install(PROGRAMS ${PELMORA_SETUP64_DIR}/setup.exe DESTINATION x64 COMPONENT kit)
install(FILES ${PELMORA_KIT_TEXT}/readme.txt DESTINATION . RENAME "はじめにお読みください.txt"
        COMPONENT kit)
install(FILES ${PELMORA_KIT_TEXT}/setup-ini.ja.txt ${PELMORA_KIT_TEXT}/setup-ini.en.txt
        DESTINATION . COMPONENT kit)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/medium/ DESTINATION sample COMPONENT kit)
install(PROGRAMS $<TARGET_FILE:setup> DESTINATION sample COMPONENT kit)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME pelmora-setup)
set(CPACK_PACKAGE_VENDOR "Pelmora")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# CPack's own module later reuses CPACK_PACKAGE_FILE_NAME; the kit test
# takes the name from here.
set(PELMORA_KIT_NAME pelmora-setup-${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}-win32)
set(CPACK_PACKAGE_FILE_NAME ${PELMORA_KIT_NAME})
# Only the kit: the build's other install rules (GoogleTest's) stay out.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};kit;/")
include(CPack)

add_subdirectory(tests/kit)
