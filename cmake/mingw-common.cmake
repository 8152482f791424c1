# What both Windows toolchain files share; each sets GRIDLARK_TRIPLE and GRIDLARK_WINE first.
set(CMAKE_SYSTEM_NAME Windows)

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

# The tests run under Wine's loader for the build's processor, called directly: the wine wrapper
# picks the 32-bit loader whenever that is installed, even on machines that cannot run it.
set(CMAKE_CROSSCOMPILING_EMULATOR ${GRIDLARK_WINE})
