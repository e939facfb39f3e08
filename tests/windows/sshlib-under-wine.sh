#!/bin/bash
# Our library for 64-bit Windows, proven under Wine against the emulated board:
#   sshlib-under-wine.sh BUILD_DIR WINEPREFIX EMUBOARD
# Takes ChilkatDelphi32.dll, ckrun.exe and ckmethods.exe from BUILD_DIR, the Windows build of
# scripts/build-windows.sh (preset windows-mingw-x64), checks that they need only Windows' own
# DLLs, then runs them under Wine inside the board, headless,
# in a Wine prefix of the caller's choosing: a command's output, an upload and a download
# byte-exact through Windows paths with "\" into a folder named outside the ANSI code page,
# the same through a folder whose full path is past MAX_PATH (260), absolute and relative, and
# chacha20-poly1305 negotiated. A missing tool fails with its package's name.
set -u
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tests/emuboard/report.sh
. "$here/../emuboard/report.sh"

# shellcheck source=tests/windows/wine-env.sh
. "$here/wine-env.sh"
wine_setup x86_64 windows.sshlib
# Headless. Wine reads our arguments as UTF-8.
export LC_ALL=C.UTF-8
unset DISPLAY WAYLAND_DISPLAY
# Each Wine run ends in time, so a hung one fails here rather than at ctest's time-out.
run_wine() { timeout "$1" "$WINELOADER" "${@:2}" </dev/null; }

if [ "${1:-}" = --inside ]; then
    build=$2
    trap '"$WINESERVER" -k >/dev/null 2>&1' EXIT
    run_wine 300 wineboot --init >"$build/wine-start.log" 2>&1 || {
        echo "Wine cannot start in $WINEPREFIX:" >&2
        cat "$build/wine-start.log" >&2
        exit 1
    }
    files="$build/files/Überträge Прошивка"
    rm -rf "$files" && mkdir -p "$files"
    # Sizes that end inside a transfer block.
    head -c 4194427 /dev/urandom >"$files/up.bin"
    head -c 3000017 /dev/urandom >"$BOARD_ROOT/tmp/down.bin"
    windows="Z:${files//\//\\}"
    cd "$build/bin" || exit 1

    out=$(run_wine 120 ckmethods.exe "$BOARD_HOST" 2>&1)
    if [[ $out == *" cipher=chacha20-poly1305@openssh.com "* ]]; then
        pass "the board's server and the library agree on chacha20-poly1305"
    else
        fail "the board's server and the library agree on chacha20-poly1305" "ckmethods: $out"
    fi

    # shellcheck disable=SC2016 # the board's shell expands it
    out=$(run_wine 120 ckrun.exe "$BOARD_HOST" cmd 'echo "hello from $(hostname)"' \
        put "$windows\\up.bin" /tmp/up.bin get /tmp/down.bin "$windows\\down.bin" 2>&1)
    rc=$?
    if [ $rc = 0 ] && [[ $out == *"hello from board"* ]]; then
        pass "connect, log in, run a command and read its output"
    else
        fail "connect, log in, run a command and read its output" "ckrun ($rc): $out"
    fi
    if cmp -s "$files/up.bin" "$BOARD_ROOT/tmp/up.bin"; then
        pass "upload from $windows\\up.bin, byte-exact"
    else
        fail "upload from $windows\\up.bin, byte-exact" "ckrun ($rc): $out"
    fi
    if cmp -s "$BOARD_ROOT/tmp/down.bin" "$files/down.bin"; then
        pass "download to $windows\\down.bin, byte-exact"
    else
        fail "download to $windows\\down.bin, byte-exact" "ckrun ($rc): $out"
    fi
    # A refused port (a board that is rebooting) fails at once and says so, as on Linux: the
    # library's own connect-to-close time, without Wine's start.
    out=$(run_wine 60 ckrun.exe -p 2299 "$BOARD_HOST" cmd true 2>&1)
    ms=$(printf '%s\n' "$out" | sed -n 's/^elapsed_ms \([0-9]*\).*/\1/p')
    if [[ $out == *"connect failed"* && $out == *refused* ]] && [ -n "$ms" ] && [ "$ms" -lt 1000 ]; then
        pass "a refused port fails in $ms ms, saying it was refused"
    else
        fail "a refused port fails in under 1 s, saying it was refused" "ckrun: $out"
    fi
    if out=$(run_wine 60 winsock_probe.exe 2299 2>&1); then
        pass "Winsock is started on the first connect, once, not while the library loads"
    else
        fail "Winsock is started on the first connect, once, not while the library loads" "$out"
    fi

    # Nested folders, as a technician's deep ones, until the files' full paths are past 260.
    deep=$files
    while [ ${#deep} -lt 300 ]; do deep="$deep/Firmware images of the recording board"; done
    mkdir -p "$deep"
    head -c 1048613 /dev/urandom >"$deep/up.bin"
    head -c 786449 /dev/urandom >"$BOARD_ROOT/tmp/deep-down.bin"
    windeep="Z:${deep//\//\\}"
    # ckrun runs in $build/bin: the same folder, relative to it.
    reldeep="..\\${deep#"$build/"}"
    reldeep=${reldeep//\//\\}
    for form in absolute relative; do
        if [ $form = absolute ]; then pc=$windeep; else pc=$reldeep; fi
        rm -f "$deep/down.bin" "$BOARD_ROOT/tmp/deep-up.bin"
        # Wine 8 takes paths past MAX_PATH in their ordinary form too, where Windows fails them,
        # so the transfers alone cannot show the long form: Wine's file trace shows what the
        # library asked the system for.
        trace="$build/wine-deep-$form.trace"
        out=$(WINEDEBUG=trace+file run_wine 120 ckrun.exe "$BOARD_HOST" put "$pc\\up.bin" \
            /tmp/deep-up.bin get /tmp/deep-down.bin "$pc\\down.bin" 2>"$trace")
        rc=$?
        what="past MAX_PATH (${#windeep} characters), $form"
        if cmp -s "$deep/up.bin" "$BOARD_ROOT/tmp/deep-up.bin"; then
            pass "upload from a folder $what, byte-exact"
        else
            fail "upload from a folder $what, byte-exact" "ckrun ($rc): $out"
        fi
        if cmp -s "$BOARD_ROOT/tmp/deep-down.bin" "$deep/down.bin" &&
            [ -z "$(find "$deep" -name 'down.bin.part-*')" ]; then
            pass "download into a folder $what, byte-exact, no temporary file left"
        else
            fail "download into a folder $what, byte-exact, no temporary file left" "ckrun ($rc): $out"
        fi
        long='L"\\\\?\\Z:'
        if grep -F "CreateFileW $long" "$trace" | grep -q 'GENERIC_READ FILE_SHARE_READ ' &&
            grep -F "CreateFileW $long" "$trace" | grep -q 'GENERIC_WRITE  creation 1 ' &&
            grep -qF "MoveFileWithProgressW ($long" "$trace"; then
            pass "the library opens, creates and renames the files $what as \\\\?\\Z:\\..."
        else
            fail "the library opens, creates and renames the files $what as \\\\?\\Z:\\..." \
                "$(grep -E 'CreateFileW|MoveFileWithProgressW' "$trace" | grep -F 'files' | tail -5)"
        fi
    done
    exit "$FAILED"
fi

[ $# = 3 ] || {
    echo "usage: $0 BUILD_DIR WINEPREFIX EMUBOARD" >&2
    exit 2
}
build=$(cd "$1" && pwd) || exit 1
WINEPREFIX=$(mkdir -p "$2" && cd "$2" && pwd)
export WINEPREFIX
emuboard=$3

missing() {
    echo "windows.sshlib: $1 is missing; install $2 (see scripts/deps.sh)" >&2
    exit 1
}
command -v x86_64-w64-mingw32-objdump >/dev/null ||
    missing x86_64-w64-mingw32-objdump binutils-mingw-w64-x86-64
for file in ChilkatDelphi32.dll ckrun.exe ckmethods.exe winsock_probe.exe; do
    [ -f "$build/bin/$file" ] || {
        echo "windows.sshlib: $build/bin/$file is missing; scripts/build-windows.sh builds it" >&2
        exit 1
    }
done

# Windows' own DLLs only: MinGW's runtime, OpenSSL and libssh2 are inside.
for file in ChilkatDelphi32.dll ckrun.exe ckmethods.exe winsock_probe.exe; do
    others=$(x86_64-w64-mingw32-objdump -p "$build/bin/$file" | awk '/DLL Name:/ { print $3 }' |
        grep -Eiv '^(kernel32|msvcrt|advapi32|crypt32|bcrypt|user32|gdi32|ws2_32|shell32)\.dll$' |
        grep -v '^ChilkatDelphi32\.dll$')
    if [ -z "$others" ]; then
        pass "$file needs only Windows' own DLLs"
    else
        fail "$file needs only Windows' own DLLs" "it needs: $(echo "$others" | tr '\n' ' ')"
    fi
done

"$emuboard" run -- "$here/sshlib-under-wine.sh" --inside "$build" || FAILED=1
exit "$FAILED"
