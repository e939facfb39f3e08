# Shared by the mingw-w64 toolchain files: Debian's cross compilers (the -posix flavour, whose
# C++ library has std::thread) and, where installed, Wine to run what they build.
# Expects MINGW_TRIPLET (x86_64-w64-mingw32 or i686-w64-mingw32) and CMAKE_SYSTEM_PROCESSOR.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLET}-windres)

# Libraries and headers only from the target's own tree, and from the roots a caller gives in
# CMAKE_FIND_ROOT_PATH (dependencies built for the target); build tools from the host.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# ctest and gtest discovery run the built programs under Wine. Debian's `wine` picks the
# 32- or 64-bit loader from the program itself.
find_program(MINGW_WINE wine)
if(MINGW_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${MINGW_WINE})
endif()
