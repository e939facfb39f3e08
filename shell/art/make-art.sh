#!/bin/sh
# Redraws the banner and the icon files in this folder from mkart.cpp.
# Usage: shell/art/make-art.sh [build folder]   (default: build)
set -eu
art=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$art/../.." && pwd)
build=$(BUILD_DIR=${1:-${BUILD_DIR:-$root/build}} "$root/scripts/configure.sh")
cmake --build "$build" --target tavrin_mkart
QT_QPA_PLATFORM=offscreen "$build/shell/tavrin_mkart" "$art"
ls -l "$art"
