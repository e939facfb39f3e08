#!/bin/sh
# Builds and runs every test, three ways: the normal build; the whole suite again under
# AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer; and the fuzzers (clang's
# libFuzzer) for a fixed short time each. Needs root: the emulated board uses namespaces, a
# chroot and a loop device. Arguments go to every ctest run (e.g. -L board, -R sshlib); the
# Windows branches (cross-built, run under Wine) are not run again under the sanitizers.
# TAVRIN_QUICK=1 runs the normal build only.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$here/build}
status=0

BUILD_DIR=$build "$here/scripts/configure.sh" >/dev/null
cmake --build "$build"
ctest --test-dir "$build" --output-on-failure "$@" || status=1
# ctest prints nothing of a skipped test; what it said of why is in ctest's own log.
grep -h ': skipped: ' "$build/Testing/Temporary/LastTest.log" 2>/dev/null || true
[ "${TAVRIN_QUICK:-0}" = 1 ] && exit $status

echo "== the whole suite under the sanitizers"
BUILD_DIR=$build-asan "$here/scripts/configure.sh" -DTAVRIN_SANITIZE=ON >/dev/null
cmake --build "$build-asan"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 \
LSAN_OPTIONS=suppressions=$here/tests/lsan.supp:print_suppressions=0 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
TAVRIN_SANITIZED=1 \
    ctest --test-dir "$build-asan" --output-on-failure -LE 'fuzz|windows' "$@" || status=1

echo "== the fuzzers"
BUILD_DIR=$build-fuzz "$here/scripts/configure.sh" -DCMAKE_C_COMPILER=clang \
    -DCMAKE_CXX_COMPILER=clang++ -DTAVRIN_SANITIZE=ON -DTAVRIN_FUZZ=ON >/dev/null
cmake --build "$build-fuzz" --target fuzzers
ctest --test-dir "$build-fuzz" --output-on-failure -L fuzz "$@" || status=1
exit $status
