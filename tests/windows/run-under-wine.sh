#!/bin/sh
# Cross-builds the Windows tests in cross/ with mingw-w64 for one architecture and runs them
# under Wine, headless, in a Wine prefix of the caller's choosing (created at first use):
#   run-under-wine.sh x86_64|i686 BUILD_DIR WINEPREFIX
# Fails with a message naming the package when a tool is missing: a missing tool is a failure
# here, never a skipped test. Only a kernel that refuses 32-bit x86 programs skips the i686 run,
# after its build, with exit status 77 and the reason (wine-env.sh). Extra ctest arguments may
# follow in CTEST_ARGS.
set -eu

usage() {
    echo "usage: $0 x86_64|i686 BUILD_DIR WINEPREFIX" >&2
    exit 2
}
[ $# -eq 3 ] || usage
arch=$1
# Wine takes absolute paths only.
build=$(mkdir -p "$2" && cd "$2" && pwd)
prefix=$3
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)

missing() {
    echo "windows tests ($arch): $1 is missing; install $2 (see scripts/deps.sh)" >&2
    exit 1
}

case $arch in
x86_64) triplet=x86_64-w64-mingw32 package=g++-mingw-w64-x86-64-posix ;;
i686) triplet=i686-w64-mingw32 package=g++-mingw-w64-i686-posix ;;
*) usage ;;
esac
command -v cmake >/dev/null || missing cmake cmake
command -v ninja >/dev/null || missing ninja ninja-build
command -v "$triplet-g++-posix" >/dev/null || missing "$triplet-g++-posix" "$package"
command -v "$triplet-windres" >/dev/null || missing "$triplet-windres" "$package"
[ -f /usr/src/googletest/CMakeLists.txt ] || missing "GoogleTest's sources" libgtest-dev

cmake -S "$here/cross" -B "$build" -G Ninja --toolchain "$repo/cmake/mingw-w64-$arch.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build"

# shellcheck source=tests/windows/wine-env.sh
. "$here/wine-env.sh"
wine_setup "$arch" "windows tests ($arch)"
unset DISPLAY WAYLAND_DISPLAY

# One Wine server and its services for the whole run, started here with no terminal or pipe of
# ours, so that each test program starts quickly and no service holds a test's output open.
# Ended on every way out; it serves only this prefix.
# Wine's null display driver lets windows, the folder dialog's among them, exist and work without
# a screen. The desktop takes its driver when it starts, so a prefix that had none starts again.
drivers='HKCU\Software\Wine\Drivers'
trap '"$WINESERVER" -k >/dev/null 2>&1 || true' EXIT
wine_prefix "$prefix"
log="$build/wine-start.log"
start_wine() { "$WINESERVER" -p && "$WINELOADER" wineboot --init; }
null_driver() {
    "$WINELOADER" reg query "$drivers" /v Graphics | grep -q null && return
    "$WINELOADER" reg add "$drivers" /v Graphics /d null /f && "$WINESERVER" -k &&
        "$WINESERVER" -w && start_wine
}
if ! { start_wine && null_driver; } </dev/null >"$log" 2>&1; then
    echo "windows tests ($arch): Wine cannot start in $prefix:" >&2
    cat "$log" >&2
    exit 1
fi

# shellcheck disable=SC2086 # CTEST_ARGS is a list of arguments
ctest --test-dir "$build" --output-on-failure --timeout 120 ${CTEST_ARGS:-}
