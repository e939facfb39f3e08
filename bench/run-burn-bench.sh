#!/bin/sh
# Builds the project and the emulated board, then times Pyrelle's burn-file upload against
# OpenSSH on it. Usage (as root): bench/run-burn-bench.sh [BUILD_DIR]   BENCH_RUNS=N: runs per figure.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(BUILD_DIR=${1:-${BUILD_DIR:-$here/build}} "$here/scripts/configure.sh")
cmake --build "$build" --target burn_drive ckmethods ChilkatDelphi32
exec "$here/tests/emuboard/emuboard.sh" run -- python3 "$here/bench/burn_bench.py" "$build/bin"
