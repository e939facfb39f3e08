#!/bin/sh
# Configures, builds and runs every test. Needs root: the emulated board uses namespaces,
# a chroot and a loop device.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$here/build}
cmake -S "$here" -B "$build" -G Ninja
cmake --build "$build"
ctest --test-dir "$build" --output-on-failure "$@"
