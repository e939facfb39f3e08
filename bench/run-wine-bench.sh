#!/bin/sh
# Times our library for Windows under Wine against our library for Linux on the emulated board:
# at dropbear's own receive window (24 KiB, as on the real board) and at 2 MiB.
# Usage (as root): bench/run-wine-bench.sh [WINDOWS_BUILD_DIR]
#   WINDOWS_BUILD_DIR is the build of scripts/build-windows.sh (default build-mingw-x64/);
#   BENCH_RUNS=N sets the runs per figure.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
windows=$(cd "${1:-$here/build-mingw-x64}" && pwd)
build=$(BUILD_DIR=${BUILD_DIR:-$here/build} "$here/scripts/configure.sh")
cmake --build "$build" --target ckrun ChilkatDelphi32
cmake --build "$windows" --target ckrun ChilkatDelphi32
# shellcheck source=tests/windows/wine-env.sh
. "$here/tests/windows/wine-env.sh"
wine_setup x86_64 run-wine-bench.sh
# Made here, outside the board's namespaces; wine_bench.py starts the server inside them.
wine_prefix "${WINEPREFIX:-$windows/wineprefix}"
board=$here/tests/emuboard/emuboard.sh
for window in 24576 2097152; do
    echo "== dropbear receive window $window bytes"
    "$board" run --dropbear-window $window -- \
        python3 "$here/bench/wine_bench.py" "$build/bin" "$windows/bin"
done
