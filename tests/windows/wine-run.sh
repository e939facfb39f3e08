#!/bin/bash
# Runs one Windows program under Wine the way a technician's PC runs it: on a desktop (a
# virtual X server of its own) and in the Wine prefix named by WINEPREFIX, which is made on
# first use.
#   WINEPREFIX=<folder> wine-run.sh PROGRAM.exe [ARGS...]
# Exits with the program's own exit status. The prefix's Wine server is ended before and after:
# Windows sockets are made by that server, so it must live in the caller's network namespace
# (the emulated board's), not in the one of an earlier run.
set -u
[ $# -ge 1 ] || {
    echo "usage: WINEPREFIX=<folder> $0 PROGRAM.exe [ARGS...]" >&2
    exit 2
}
[ -n "${WINEPREFIX:-}" ] || {
    echo "wine-run.sh: set WINEPREFIX to the Wine prefix to use" >&2
    exit 2
}
for tool in xvfb-run:xvfb xauth:xauth; do
    command -v "${tool%%:*}" >/dev/null || {
        echo "wine-run.sh: ${tool%%:*} is missing; install ${tool#*:} (see scripts/deps.sh)" >&2
        exit 1
    }
done
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tests/windows/wine-env.sh
. "$here/wine-env.sh"
wine_setup x86_64 wine-run.sh

# Wine's ANSI code page follows the locale's language: 1252 for this one.
export LC_ALL=${TAVRIN_WINE_LOCALE:-C.UTF-8}
unset WAYLAND_DISPLAY

mkdir -p "$WINEPREFIX"
WINEPREFIX=$(cd "$WINEPREFIX" && pwd)
export WINEPREFIX
"$WINESERVER" -k >/dev/null 2>&1
"$WINESERVER" -w >/dev/null 2>&1
trap '"$WINESERVER" -k >/dev/null 2>&1' EXIT
wine_prefix "$WINEPREFIX"

# Wine leaves Qt's variables (QT_*) out of a program's environment; the caller's reach it
# through the prefix's user environment instead. The Wine session that does so has no display,
# so it is ended before the program's own starts on the virtual desktop.
for name in $(env | sed -n 's/^\(QT_[A-Za-z0-9_]*\)=.*/\1/p'); do
    "$WINELOADER" reg add 'HKCU\Environment' /v "$name" /d "$(printenv "$name")" /f >/dev/null 2>&1 || {
        echo "wine-run.sh: cannot hand $name to the program" >&2
        exit 1
    }
done
"$WINESERVER" -k >/dev/null 2>&1
"$WINESERVER" -w >/dev/null 2>&1

xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$WINELOADER" "$@" </dev/null
status=$?
exit $status
