# The 64-bit Windows build of the same sources, run and tested under wine64.
set(PELMORA_PROCESSOR x86_64)
set(PELMORA_CAN_RUN ON)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
