#!/bin/sh
# Pictures of both programs' main windows and About boxes as a person sees them, taken on a
# virtual X display. Look at them after any change to the windows; docs/ keeps the main windows
# of the Linux build for README.md.
# Usage: tests/shell/screenshots.sh [--windows] [build folder] [output folder]
# --windows takes them of the Windows build (default build-mingw-x64/, made by
# scripts/build-windows.sh) under Wine, in that build's Wine prefix, as its tests run.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
windows=
if [ "${1:-}" = --windows ]; then
    windows=1
    shift
fi
if [ -n "$windows" ]; then
    build=${1:-${BUILD_DIR:-$root/build-mingw-x64}}
else
    build=${1:-${BUILD_DIR:-$root/build}}
fi
out=${2:-$build/screenshots}
cmake --build "$build" --target tavrin_shots
mkdir -p "$out"
if [ -n "$windows" ]; then
    # Wine reaches the Unix file system through drive Z:.
    out=$(cd "$out" && pwd)
    WINEPREFIX=${WINEPREFIX:-$build/wineprefix} \
        "$root/tests/windows/wine-run.sh" "$build/tests/shell/tavrin_shots.exe" "Z:$out"
else
    xvfb-run -a -s "-screen 0 1280x1024x24" "$build/tests/shell/tavrin_shots" "$out"
fi
