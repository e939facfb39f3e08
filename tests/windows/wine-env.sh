# shellcheck shell=sh
# The one Wine set-up of every script that runs Windows programs: the Windows tests, the
# package's programs and the Wine benchmark. Sourced by sh and bash scripts alike:
#   . tests/windows/wine-env.sh
#   wine_setup x86_64|i686 WHO        # WHO names the caller in messages
#   wine_prefix FOLDER                # makes the prefix on first use, exports WINEPREFIX
# Then "$WINELOADER" runs a Windows program and "$WINESERVER" is the prefix's server.
#
# Debian's /usr/bin/wine takes the 32-bit loader whenever wine32:i386 is installed, even for a
# 64-bit program, and a kernel without 32-bit support refuses that loader. So each architecture
# runs on its own loader directly, and WINELOADER tells Wine which one to start its own helper
# processes with. The server is always the 64-bit one, which serves 32-bit programs too.
#
# A missing package fails (exit 1) with its name. A kernel that refuses to run the 32-bit
# loader ("Exec format error") is not a fault of ours: the 32-bit set-up then exits with
# WINE_SKIP and says why, which ctest reports as skipped (SKIP_RETURN_CODE).
# TAVRIN_WINE64_LOADER and TAVRIN_WINE32_LOADER point the check at other loader files.

WINE_SKIP=77

wine_missing() {
    echo "$1: $2 is missing; install $3 (see scripts/deps.sh)" >&2
    exit 1
}

# Succeeds when the kernel runs the program file $1; otherwise prints the kernel's refusal.
# Only a refusal counts: a loader that runs and then complains is for the tests to show.
wine_kernel_runs() {
    wine_refusal=$( (LC_ALL=C exec "$1" --version) 2>&1 >/dev/null) && return 0
    case $wine_refusal in
    *"Exec format error"*)
        echo "$wine_refusal"
        return 1
        ;;
    esac
    return 0
}

wine_setup() {
    wine_who=$2
    case $1 in
    x86_64)
        WINELOADER=${TAVRIN_WINE64_LOADER:-/usr/lib/wine/wine64}
        wine_bits=64 wine_package=wine64
        ;;
    i686)
        WINELOADER=${TAVRIN_WINE32_LOADER:-/usr/lib/wine/wine}
        wine_bits=32 wine_package="wine32:i386 (after: dpkg --add-architecture i386; apt-get update)"
        ;;
    *)
        echo "wine_setup: unknown architecture '$1'" >&2
        exit 2
        ;;
    esac
    WINESERVER=/usr/lib/wine/wineserver64
    [ -f "$WINELOADER" ] || wine_missing "$wine_who" "Wine's $wine_bits-bit loader $WINELOADER" "$wine_package"
    [ -x "$WINESERVER" ] || wine_missing "$wine_who" "Wine's server $WINESERVER" wine64
    if ! wine_why=$(wine_kernel_runs "$WINELOADER"); then
        if [ "$wine_bits" = 32 ]; then
            echo "$wine_who: skipped: this host's kernel does not run 32-bit x86 programs," \
                "so Wine's 32-bit loader cannot start ($wine_why)" >&2
            exit $WINE_SKIP
        fi
        echo "$wine_who: the kernel refuses Wine's 64-bit loader ($wine_why)" >&2
        exit 1
    fi
    export WINELOADER WINESERVER
    # Headless and quiet; no prompt to install Mono or Gecko; no browser, whatever a program does.
    export WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="mscoree,mshtml=;winebrowser.exe=d"
}

# Makes the prefix in folder $1 on first use (a marker says it is complete) and exports it.
# Wine takes absolute paths only. Fails, with Wine's words, when it cannot be made.
wine_prefix() {
    mkdir -p "$1"
    WINEPREFIX=$(cd "$1" && pwd)
    export WINEPREFIX
    [ -f "$WINEPREFIX/.tavrin-ready" ] && return 0
    if ! timeout 600 "$WINELOADER" wineboot --init </dev/null >"$WINEPREFIX.log" 2>&1 ||
        ! "$WINESERVER" -w; then
        echo "$wine_who: Wine cannot set up $WINEPREFIX:" >&2
        cat "$WINEPREFIX.log" >&2
        exit 1
    fi
    touch "$WINEPREFIX/.tavrin-ready"
}
