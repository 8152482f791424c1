# Cross-builds the Windows program with mingw-w64 for 32-bit x86; the tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(GRIDLARK_TRIPLE i686-w64-mingw32)
# The posix thread model: GoogleTest needs std::mutex, which the win32 model lacks in GCC 12.
set(CMAKE_C_COMPILER ${GRIDLARK_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${GRIDLARK_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${GRIDLARK_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${GRIDLARK_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Standalone: no compiler runtime DLLs beside the program.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Wine's 32-bit loader, called directly as the 64-bit build calls its own.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine)
