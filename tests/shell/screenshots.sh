#!/bin/sh
# Pictures of both programs' main windows and About boxes as a person sees them, taken on a
# virtual X display. Look at them after any change to the windows; they are not kept in git.
# Usage: tests/shell/screenshots.sh [build folder] [output folder]
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-${BUILD_DIR:-$root/build}}
out=${2:-$build/screenshots}
cmake --build "$build" --target tavrin_shots
xvfb-run -a -s "-screen 0 1280x1024x24" "$build/tests/shell/tavrin_shots" "$out"
