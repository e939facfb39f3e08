#!/bin/sh
# The loader check of wine-env.sh tells "not installed" (a failure naming the package) from "the
# kernel refuses to run it" (a skip with the reason, 32-bit only), on loader files made to be
# each case: a path with nothing there, a copy of the 64-bit loader whose ELF machine field
# names an architecture no kernel runs (so the kernel itself answers "Exec format error"), and
# the real 64-bit loader.
#   wine-env-test.sh WORK_DIR
set -u
here=$(cd "$(dirname "$0")" && pwd)
work=$(mkdir -p "$1" && cd "$1" && pwd)
real=/usr/lib/wine/wine64
[ -x "$real" ] || {
    echo "wine-env-test: Wine's 64-bit loader is missing; install wine64 (see scripts/deps.sh)" >&2
    exit 1
}

# The copy lives in the build folder: /tmp may be mounted without the right to run programs.
foreign=$work/wine-foreign-machine
cp "$real" "$foreign"
# e_machine, two bytes at offset 18: 0xcafe, which names no architecture.
printf '\376\312' | dd of="$foreign" bs=1 seek=18 conv=notrunc 2>/dev/null
chmod 755 "$foreign"

failed=0
# case: arch, loader file, expected exit status, words the message must hold
check() {
    name=$1 arch=$2 file=$3 want=$4 words=$5
    out=$(
        TAVRIN_WINE64_LOADER=$file TAVRIN_WINE32_LOADER=$file
        export TAVRIN_WINE64_LOADER TAVRIN_WINE32_LOADER
        # shellcheck source=tests/windows/wine-env.sh
        . "$here/wine-env.sh"
        wine_setup "$arch" check 2>&1
        echo "WINELOADER=$WINELOADER"
    )
    got=$?
    case $out in
    *"$words"*) found=1 ;;
    *) found=0 ;;
    esac
    if [ "$got" = "$want" ] && [ $found = 1 ]; then
        echo "ok - $name"
    else
        echo "not ok - $name: exit status $got (want $want), output (want \"$words\"): $out"
        failed=1
    fi
}

check "32-bit loader not installed: fails naming the package" \
    i686 "$work/no-such-loader" 1 "install wine32:i386"
check "32-bit loader refused by the kernel: skipped, saying why" \
    i686 "$foreign" 77 "does not run 32-bit x86 programs, so Wine's 32-bit loader cannot start"
check "the refusal quotes the kernel's own words" i686 "$foreign" 77 "Exec format error"
check "a loader the kernel runs is taken" i686 "$real" 0 "WINELOADER=$real"
check "64-bit loader not installed: fails naming the package" \
    x86_64 "$work/no-such-loader" 1 "install wine64"
check "64-bit loader refused: a failure, never a skip" x86_64 "$foreign" 1 "refuses Wine's 64-bit loader"
check "the 64-bit loader is taken" x86_64 "$real" 0 "WINELOADER=$real"
exit $failed
