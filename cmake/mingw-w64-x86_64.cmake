# Cross-building the Windows (x86-64) program on Linux with mingw-w64. The posix thread model of
# Debian's mingw-w64 gives std::thread and std::mutex; the programs are linked statically (see the
# "windows" preset), so they need no DLL of the compiler's beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(UP_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${UP_MINGW_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${UP_MINGW_TRIPLET}-g++)
set(CMAKE_RC_COMPILER ${UP_MINGW_TRIPLET}-windres)

# Libraries and headers come from the cross environment only; programs run during the build
# (none so far) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${UP_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
