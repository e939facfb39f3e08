# Cross build for 32-bit Windows with Debian's mingw-w64 (g++-mingw-w64-i686-posix); the
# programs' users have run 32-bit builds so far, and only here does __stdcall differ from the
# default calling convention:
#   cmake -S <source> -B <build> -G Ninja --toolchain cmake/mingw-w64-i686.cmake
set(MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR X86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
