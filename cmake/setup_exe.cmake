# setup.exe: self-contained, importing only system DLLs. No C or C++ run-time
# is linked: src/shell/runtime.cpp is the entry and the only support code.
add_executable(setup WIN32
    ${PORTABLE_SOURCES} ${WINDOWS_SOURCES} ${ENTRY_SOURCES} res/setup.rc)
target_include_directories(setup PRIVATE src res)
target_compile_options(setup PRIVATE
    -Os -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables
    -fno-unwind-tables -fno-stack-protector -fno-threadsafe-statics
    -ffunction-sections -malign-data=abi -fomit-frame-pointer
    # Keep the compiler from turning loops into calls of library routines.
    -fno-tree-loop-distribute-patterns -fno-builtin
    # Across files the optimiser inlines the handlers each called once:
    # about 1 KiB of the shipped file.
    -flto)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    target_compile_options(setup PRIVATE ${PELMORA_I386_FLAGS}
        # No x87 either: a 386 or 486SX may have no FPU, and the program
        # computes nothing in floating point.
        -mno-80387
        # Windows keeps a 32-bit stack 4-byte aligned, and nothing here
        # needs more: no realigning of the stack in every function.
        -mpreferred-stack-boundary=2)
    set(PELMORA_ENTRY _WinMainCRTStartup)
    # Windows 95 and NT 4.0 refuse images that ask for a newer subsystem.
    set(PELMORA_SUBSYSTEM windows:4.0)
    set(PELMORA_MANIFEST_ARCH x86)
else()
    set(PELMORA_ENTRY WinMainCRTStartup)
    set(PELMORA_SUBSYSTEM windows)
    set(PELMORA_MANIFEST_ARCH amd64)
endif()
# The application manifest, for the architecture of this build.
configure_file(res/setup.manifest.in ${CMAKE_BINARY_DIR}/setup.manifest @ONLY NEWLINE_STYLE UNIX)
set_property(SOURCE res/setup.rc APPEND PROPERTY OBJECT_DEPENDS ${CMAKE_BINARY_DIR}/setup.manifest)
target_include_directories(setup PRIVATE ${CMAKE_BINARY_DIR})
target_link_options(setup PRIVATE
    -nostdlib -nostartfiles -Wl,-e,${PELMORA_ENTRY}
    -Wl,--subsystem,${PELMORA_SUBSYSTEM} -Wl,--gc-sections -s
    -Wl,--major-os-version,4 -Wl,--minor-os-version,0
    -Wl,--file-alignment,512 -Wl,--enable-stdcall-fixup -Wl,--nxcompat
    -Wl,--disable-dynamicbase -Wl,--disable-reloc-section
    # The link sees the whole program: the compile options above apply there.
    -Os -fno-builtin -fno-tree-loop-distribute-patterns
    -Wl,-T,${CMAKE_SOURCE_DIR}/cmake/setup.ld
    -Wl,-Map=${CMAKE_BINARY_DIR}/setup.map)
set_property(TARGET setup APPEND PROPERTY LINK_DEPENDS ${CMAKE_SOURCE_DIR}/cmake/setup.ld)
add_custom_command(TARGET setup POST_BUILD
    COMMAND sh ${CMAKE_SOURCE_DIR}/cmake/pe_directories.sh $<TARGET_FILE:setup> ${CMAKE_BINARY_DIR}/setup.map
    VERBATIM)
target_link_libraries(setup PRIVATE kernel32 user32 gdi32 shell32 ole32 gcc)
set_target_properties(setup PROPERTIES OUTPUT_NAME setup)

# The Win32 code as a library for the Windows tests (with the normal run-time).
add_library(pelmora_win STATIC ${PORTABLE_SOURCES} ${WINDOWS_SOURCES})
# The binary folder holds setup.manifest, for the programs that take res/setup.rc.
target_include_directories(pelmora_win PUBLIC src res ${CMAKE_BINARY_DIR})
target_link_libraries(pelmora_win PUBLIC kernel32 user32 gdi32 comctl32 shell32 ole32 uuid)
