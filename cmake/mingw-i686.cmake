# The 32-bit Windows build that we ship. This kernel cannot run it.
set(PELMORA_PROCESSOR i686)
set(PELMORA_CAN_RUN OFF)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
