# Cross-building for Windows (i686) with Debian's MinGW-w64 compilers, posix thread model
# (std::thread needs it). libstdc++, libgcc and winpthread are linked into each program, so
# that a .exe needs only the DLLs every Windows has.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(GRIDLOOM_MINGW_TRIPLET i686-w64-mingw32)
include("${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake")
