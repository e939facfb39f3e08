#!/bin/sh
# The house conventions that a tool can check, over the files git tracks:
#   scripts/lint.sh [format|shell]...        (default: both)
# format: every C and C++ file as the checked-in .clang-format has it. The libssh2 overlay keeps
#         libssh2's own style: its files take the place of libssh2's and are read beside them.
# shell:  shellcheck over every shell script, following what each one sources.
# Fails naming each finding; a missing tool fails with its package's name.
set -u
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here" || exit 1
status=0

need() {
    command -v "$1" >/dev/null || {
        echo "lint.sh: $1 is missing; install $2 (see scripts/deps.sh)" >&2
        exit 1
    }
}

format() {
    need clang-format clang-format
    git ls-files -z '*.c' '*.cpp' '*.h' ':!:sshlib/libssh2-overlay/' |
        xargs -0 clang-format --dry-run -Werror || status=1
}

shell() {
    need shellcheck shellcheck
    # Shell scripts by their first line, wherever they are and whatever they are called.
    git ls-files -z | xargs -0 grep -lZ -m1 -e '^#!/bin/sh' -e '^#!/bin/bash' -e '^# shellcheck shell=' |
        xargs -0 shellcheck -x -f gcc || status=1
}

[ $# = 0 ] && set -- format shell
for check in "$@"; do
    case $check in
    format) format ;;
    shell) shell ;;
    *)
        echo "usage: $0 [format|shell]..." >&2
        exit 2
        ;;
    esac
done
exit $status
