# shellcheck shell=bash
# Sourced by the board's own checks: one line per check, and FAILED set when any failed.
# shellcheck disable=SC2034 # read by the scripts that source this
FAILED=0
pass() { echo "ok   $1"; }
fail() {
    echo "FAIL $1" >&2
    shift
    (($#)) && printf '     %s\n' "$@" >&2
    FAILED=1
}
