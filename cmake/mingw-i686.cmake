# Cross-builds the Windows program with mingw-w64 for 32-bit x86; the tests run under Wine's
# 32-bit loader.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(GRIDLARK_TRIPLE i686-w64-mingw32)
set(GRIDLARK_WINE /usr/lib/wine/wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
