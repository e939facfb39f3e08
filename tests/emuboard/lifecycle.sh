#!/bin/bash
# Checks how emuboard.sh starts and ends boards, from outside the board:
#   lifecycle.sh /path/to/emuboard.sh
# Exit status, clean teardown (no folder, loop device or process left), --keep, --no-usb,
# a start that fails, and a board ended by SIGTERM.
# shellcheck disable=SC2016 # the sh -c scripts are expanded inside the board

set -u
EMUBOARD=${1:?usage: lifecycle.sh EMUBOARD}
SCRATCH=$(mktemp -d)
trap 'rm -rf --one-file-system "$SCRATCH"' EXIT
# Boards of this test only, so that boards of tests running in parallel do not count.
export EMUBOARD_TMPDIR=$SCRATCH/boards
mkdir "$EMUBOARD_TMPDIR"

# shellcheck source=tests/emuboard/report.sh
. "$(dirname "$0")/report.sh"

# Prints what is left of the board whose work folder was $1: the folder itself, loop devices
# backed by a file in it, processes that name it on their command line.
leftovers() {
    local f p
    [ -e "$1" ] && echo "folder $1"
    for f in /sys/block/loop*/loop/backing_file; do
        [ -f "$f" ] && grep -qF "$1" "$f" 2>/dev/null && echo "loop ${f#/sys/block/}"
    done
    for p in /proc/[0-9]*; do
        [ "${p#/proc/}" = $$ ] && continue
        tr '\0' ' ' <"$p/cmdline" 2>/dev/null | grep -qF "$1" && echo "process ${p#/proc/}"
    done
}

# run: exit status, environment, nothing left afterwards.
"$EMUBOARD" run -- sh -c 'echo "$BOARD_WORK" >"$0"' "$SCRATCH/work" 2>"$SCRATCH/err"
st=$?
"$EMUBOARD" run -- sh -c 'exit 7' 2>>"$SCRATCH/err"
st7=$?
work=$(cat "$SCRATCH/work" 2>/dev/null)
left=$([ -n "$work" ] && leftovers "$work")
if [ "$st" = 0 ] && [ "$st7" = 7 ] && [ -n "$work" ] && [ -z "$left" ]; then
    pass "run returns the command's status and leaves nothing behind"
else
    fail "run returns the command's status and leaves nothing behind" \
        "statuses $st and $st7 (want 0 and 7), work '$work'" "left: $left" "$(cat "$SCRATCH/err")"
fi

# --keep, and the control script refusing to act from outside the board's namespaces.
"$EMUBOARD" run --keep -- sh -c 'echo "$BOARD_WORK" >"$0"' "$SCRATCH/work" 2>/dev/null
work=$(cat "$SCRATCH/work")
if [ -f "$work/dropbear.log" ] && ! leftovers "$work" | grep -qv '^folder'; then
    pass "--keep keeps the work folder and nothing else"
else
    fail "--keep keeps the work folder and nothing else" "$(leftovers "$work")"
fi
if "$work/ctl" pids >/dev/null 2>&1; then
    fail "BOARD_CTL refuses to act outside the board's namespaces"
else
    pass "BOARD_CTL refuses to act outside the board's namespaces"
fi
rm -rf --one-file-system "$work"

# --no-usb: no image, and the board's mount fails.
out=$("$EMUBOARD" run --no-usb -- sh -c 'echo "image=[$BOARD_USB_IMAGE]"; ssh -o StrictHostKeyChecking=no -o UserKnownHostsFile=/dev/null -o BatchMode=yes -o LogLevel=ERROR "root@$BOARD_HOST" "mkdir /mnt/usb; mount /dev/sda1  /mnt/usb/ 2>&1; grep -c /mnt/usb /proc/mounts"' 2>&1)
if [[ $out == *"image=[]"*"mounting /dev/sda1 on /mnt/usb/ failed"*$'\n0' ]]; then
    pass "--no-usb: mounting /dev/sda1 fails on the board"
else
    fail "--no-usb: mounting /dev/sda1 fails on the board" "output: $out"
fi

# A start that fails halfway (a fake server that exits at once) is status 90, cleaned up.
out=$(EMUBOARD_PYTHON=/bin/true "$EMUBOARD" run --fake noexit:2202 -- \
    sh -c 'echo "command ran" ' 2>&1)
st=$?
stale=$(ls "$EMUBOARD_TMPDIR")
if [ $st = 90 ] && [[ $out == *"did not start"* ]] && [[ $out != *"command ran"* ]] &&
    [ -z "$stale" ]; then
    pass "a board that cannot start fails with status 90 and a message, leaving nothing"
else
    fail "a board that cannot start fails with status 90 and a message, leaving nothing" \
        "status $st, output: $out" "folders: $stale"
fi

# SIGTERM to emuboard.sh ends the command and tears the board down.
"$EMUBOARD" run -- sh -c 'echo "$BOARD_WORK" >"$0"; exec sleep 60' "$SCRATCH/work" 2>/dev/null &
pid=$!
for _ in $(seq 100); do [ -s "$SCRATCH/work" ] && break; sleep 0.05; done
sleep 0.2
kill -TERM "$pid"
start=$SECONDS
wait "$pid"
st=$?
work=$(cat "$SCRATCH/work")
left=$(leftovers "$work")
if [ $st != 0 ] && ((SECONDS - start < 5)) && [ -z "$left" ]; then
    pass "SIGTERM ends the board at once and leaves nothing behind"
else
    fail "SIGTERM ends the board at once and leaves nothing behind" \
        "status $st after $((SECONDS - start)) s" "left: $left"
fi

exit "$FAILED"
