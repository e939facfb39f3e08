#!/bin/sh
# The main job for a new user: installs what is needed, builds, and opens Orvane or Pyrelle.
#
#   sudo scripts/start.sh [Orvane|Pyrelle]        (default Orvane)
#
# Without BOARD in the environment there is no real board: the emulated board is started at
# 192.168.168.201 inside private namespaces and the program runs in there with it, so the
# address it talks to exists only inside that namespace. If the namespace cannot be made, the
# program is not started at all: nothing is ever sent to a real 192.168.168.201.
# With BOARD=<address> the program runs on this machine, for a real board on the network;
# type that address into "Board IP".
#
# The program needs an X display: DISPLAY (and XAUTHORITY, if the display wants it) are
# passed on. BUILD_DIR chooses the build folder (default build/).
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)
program=${1:-Orvane}
case $program in
Orvane | Pyrelle) ;;
*)
    echo "usage: $0 [Orvane|Pyrelle]" >&2
    exit 2
    ;;
esac
if [ "$(id -u)" != 0 ]; then
    echo "$0: run as root (sudo $0 $program): it installs packages and starts the emulated board" >&2
    exit 1
fi
if [ -z "${DISPLAY:-}" ]; then
    echo "$0: no X display (DISPLAY is not set); start it from a desktop session" >&2
    exit 1
fi
# sudo keeps DISPLAY but the user's X cookie may only be in the user's home.
if [ -z "${XAUTHORITY:-}" ] && [ -n "${SUDO_USER:-}" ]; then
    home=$(getent passwd "$SUDO_USER" | cut -d: -f6)
    [ -f "$home/.Xauthority" ] && XAUTHORITY=$home/.Xauthority && export XAUTHORITY
fi
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-xcb}"

"$here/scripts/deps.sh"

build=$("$here/scripts/configure.sh")
cmake --build "$build" --target "$program" ChilkatDelphi32
binary=$build/bin/$program

if [ -n "${BOARD:-}" ]; then
    echo "Opening $program for the board at $BOARD: type $BOARD into \"Board IP\"."
    exec "$binary"
fi

if [ ! -S /tmp/.X11-unix/X"$(echo "$DISPLAY" | sed 's/^[^:]*:\([0-9]*\).*/\1/')" ]; then
    echo "$0: the display $DISPLAY has no socket under /tmp/.X11-unix; inside the board's" \
        "network namespace only that socket reaches the X server" >&2
    exit 1
fi

# Run inside the board's namespaces, and only there: the check compares network namespaces
# and looks for the board's address on an interface of this namespace.
host_netns=$(readlink /proc/self/ns/net)
export TAVRIN_HOST_NETNS="$host_netns" TAVRIN_PROGRAM_BINARY="$binary"
echo "Starting the emulated board and $program inside its namespace (close $program to stop it)."
# shellcheck disable=SC2016 # the script is expanded inside the board's namespace
exec "$here/tests/emuboard/emuboard.sh" run -- sh -c '
    set -eu
    if [ "$(readlink /proc/self/ns/net)" = "$TAVRIN_HOST_NETNS" ]; then
        echo "start.sh: not inside a namespace of its own; refusing to start the program" >&2
        exit 91
    fi
    if ! ip -o -4 addr show | grep -q " 192\.168\.168\.201/"; then
        echo "start.sh: the emulated board has no 192.168.168.201 here; refusing to start" >&2
        exit 91
    fi
    exec "$TAVRIN_PROGRAM_BINARY"
'
