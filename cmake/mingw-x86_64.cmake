# Cross-builds the Windows program with mingw-w64 for 64-bit x86 (x86_64); the tests run under
# Wine's 64-bit loader.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(GRIDLARK_TRIPLE x86_64-w64-mingw32)
set(GRIDLARK_WINE /usr/lib/wine/wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
