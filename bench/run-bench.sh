#!/bin/sh
# Builds the project and the emulated board, then times our library against OpenSSH on it:
# dropbear and a current OpenSSH server, then uploads to dropbear at three receive windows.
# Usage (as root): bench/run-bench.sh [BUILD_DIR]     BENCH_RUNS=N sets the runs per figure.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(BUILD_DIR=${1:-${BUILD_DIR:-$here/build}} "$here/scripts/configure.sh")
cmake --build "$build" --target ckrun ckmethods ChilkatDelphi32
board=$here/tests/emuboard/emuboard.sh
"$board" run --openssh 2205 -- python3 "$here/bench/bench.py" "$build/bin"
# dropbear's own default window, as on the real board, then two larger ones.
for window in 24576 262144 2097152; do
    echo
    "$board" run --dropbear-window $window -- \
        python3 "$here/bench/bench.py" "$build/bin" --window $window
done
