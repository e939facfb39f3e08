#!/bin/sh
# Without libssh2's Debian source in the cache, configuring stops and names the command that
# fetches it; it never falls back to a libssh2 the system may have.
#   no-source.sh SOURCE_DIR WORK_DIR
set -u
src=$1
work=$2
rm -rf "$work" && mkdir -p "$work/empty-cache"
TAVRIN_CACHE=$work/empty-cache cmake -S "$src" -B "$work/build" -G Ninja \
    -DTAVRIN_PROGRAMS=OFF -DBUILD_TESTING=OFF >"$work/log" 2>&1
status=$?
if [ $status = 0 ]; then
    echo "FAIL: the project configured without libssh2's source"
    exit 1
fi
if ! grep -q "scripts/fetch-source.sh libssh2 1.11.1" "$work/log"; then
    echo "FAIL: the failure does not name the fetch step; it said:"
    cat "$work/log"
    exit 1
fi
echo "PASS: configure stopped, naming scripts/fetch-source.sh libssh2 1.11.1"
rm -rf "$work"
