# Cross-compile the 64-bit Windows binaries with MinGW-w64 on Linux.
# The POSIX thread model: GoogleTest needs std::mutex, which the win32 model lacks.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

set(SWV_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${SWV_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SWV_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${SWV_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${SWV_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
