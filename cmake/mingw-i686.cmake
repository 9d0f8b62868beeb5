# The shipped 32-bit build. It cannot run on this machine, so it has no emulator.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
