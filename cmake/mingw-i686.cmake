# The 32-bit Windows build that we ship. wine64 runs it in a WoW64 prefix
# (wine32:i386), so it goes through every test the 64-bit build does;
# tools/test.sh turns PELMORA_CAN_RUN off where this machine cannot execute
# 32-bit code.
set(PELMORA_PROCESSOR i686)
set(PELMORA_CAN_RUN ON CACHE BOOL "Run this build's Windows and end-to-end tests under Wine")
# The programs we ship run on an 80386. Debian's compiler defaults to the
# Pentium Pro (cmov); the assembler is told too, so that it refuses any later
# instruction, inline assembly included.
set(PELMORA_I386_FLAGS -march=i386 -mtune=i386 -Wa,-march=i386)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
