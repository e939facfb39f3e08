#!/bin/sh
# The one way this project is configured; every script that builds calls it.
#   scripts/configure.sh [CMAKE_ARGS...]
# The build folder is BUILD_DIR (default: build/ in the source tree); arguments go on to cmake
# after ours, so a later -D wins (the fuzzers choose clang that way). Prints the build folder.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$here/build}
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++ "$@" >&2
echo "$build"
