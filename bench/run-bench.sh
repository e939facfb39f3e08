#!/bin/sh
# Builds the project and the emulated board, then times our library against OpenSSH on it.
# Usage (as root): bench/run-bench.sh [BUILD_DIR]     BENCH_RUNS=N sets the runs per figure.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
cmake -S "$here" -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target ckrun ckmethods ChilkatDelphi32
exec "$here/tests/emuboard/emuboard.sh" run -- python3 "$here/bench/bench.py" "$build/bin"
