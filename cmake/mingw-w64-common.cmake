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

# ctest runs the built programs under Wine, on the loader of their own architecture: Debian's
# `wine` takes the 32-bit loader whenever it is installed, which a kernel without 32-bit
# support refuses even for a 64-bit program. WINELOADER makes Wine start its helpers with it.
if(MINGW_TRIPLET MATCHES "^x86_64")
    set(MINGW_WINE_LOADER /usr/lib/wine/wine64)
else()
    set(MINGW_WINE_LOADER /usr/lib/wine/wine)
endif()
if(EXISTS ${MINGW_WINE_LOADER})
    set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/env WINELOADER=${MINGW_WINE_LOADER}
        ${MINGW_WINE_LOADER})
endif()
