# What both MinGW-w64 toolchain files share; GRIDLOOM_MINGW_TRIPLET names the target.
set(CMAKE_C_COMPILER ${GRIDLOOM_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${GRIDLOOM_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${GRIDLOOM_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${GRIDLOOM_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Programs built for Windows run under Wine here: ctest starts the tests through it, the
# 64-bit loader (wine64) for 64-bit programs and the 32-bit one (from wine32) for 32-bit ones.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    find_program(GRIDLOOM_WINE NAMES wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
else()
    find_program(GRIDLOOM_WINE NAMES wine PATHS /usr/lib/wine NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
endif()
if(GRIDLOOM_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR "${GRIDLOOM_WINE}")
endif()
