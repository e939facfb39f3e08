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
for tool in wine:wine wineserver:wine xvfb-run:xvfb xauth:xauth; do
    command -v "${tool%%:*}" >/dev/null || {
        echo "wine-run.sh: ${tool%%:*} is missing; install ${tool#*:} (see scripts/deps.sh)" >&2
        exit 1
    }
done
[ -x /usr/lib/wine/wine64 ] || {
    echo "wine-run.sh: Wine's 64-bit loader is missing; install wine64 (see scripts/deps.sh)" >&2
    exit 1
}

# Headless, no prompt to install Mono or Gecko, no browser started by Wine. Wine's ANSI code
# page follows the locale's language: 1252 for this one.
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml=;winebrowser.exe=d"
export LC_ALL=${TAVRIN_WINE_LOCALE:-C.UTF-8}
unset WAYLAND_DISPLAY
mkdir -p "$WINEPREFIX"
export WINEPREFIX=$(cd "$WINEPREFIX" && pwd)

wineserver -k >/dev/null 2>&1
wineserver -w >/dev/null 2>&1
trap 'wineserver -k >/dev/null 2>&1' EXIT

if [ ! -f "$WINEPREFIX/.tavrin-ready" ]; then
    if ! timeout 600 wine wineboot --init </dev/null >"$WINEPREFIX.log" 2>&1; then
        echo "wine-run.sh: Wine cannot set up $WINEPREFIX:" >&2
        cat "$WINEPREFIX.log" >&2
        exit 1
    fi
    wineserver -w
    touch "$WINEPREFIX/.tavrin-ready"
fi

# Wine leaves Qt's variables (QT_*) out of a program's environment; the caller's reach it
# through the prefix's user environment instead. The Wine session that does so has no display,
# so it is ended before the program's own starts on the virtual desktop.
for name in $(env | sed -n 's/^\(QT_[A-Za-z0-9_]*\)=.*/\1/p'); do
    wine reg add 'HKCU\Environment' /v "$name" /d "$(printenv "$name")" /f >/dev/null 2>&1 || {
        echo "wine-run.sh: cannot hand $name to the program" >&2
        exit 1
    }
done
wineserver -k >/dev/null 2>&1
wineserver -w >/dev/null 2>&1

xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" wine "$@" </dev/null
status=$?
exit $status
