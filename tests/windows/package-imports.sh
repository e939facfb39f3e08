#!/bin/bash
# The package holds everything it needs: every DLL that a program or library in it imports is
# either in the package or part of Windows itself.
#   package-imports.sh PACKAGE_DIR [WINDOWS_BUILD_DIR]
# With the Windows build folder it first shows that it tells a missing DLL apart: ckrun.exe,
# which imports ChilkatDelphi32.dll, alone in a folder must be found wanting.
set -u
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tests/emuboard/report.sh
. "$here/../emuboard/report.sh"
if [ $# -lt 1 ] || [ ! -d "$1" ]; then
    echo "usage: $0 PACKAGE_DIR [WINDOWS_BUILD_DIR]" >&2
    exit 2
fi
objdump=x86_64-w64-mingw32-objdump
command -v $objdump >/dev/null || {
    echo "package-imports.sh: $objdump is missing; install binutils-mingw-w64-x86-64" >&2
    exit 1
}

# DLLs that every Windows 10 and later has in its system folder; api-ms-win-* are its API sets.
system=" advapi32 authz bcrypt comctl32 comdlg32 crypt32 d2d1 d3d11 d3d12 d3d9 dwmapi dwrite dxgi
 gdi32 imm32 iphlpapi kernel32 msvcrt netapi32 ntdll ole32 oleaut32 opengl32 rpcrt4 secur32
 setupapi shcore shell32 shlwapi user32 userenv uxtheme version winmm winspool.drv ws2_32
 wtsapi32 "
system=${system//$'\n'/ }

# The DLLs that FILE imports and that neither FOLDER nor Windows has.
unmet() {
    local file=$1 folder=$2 dll lower
    local have
    have=" $(find "$folder" -mindepth 1 -maxdepth 1 -printf '%f\n' | tr '[:upper:]' '[:lower:]' | tr '\n' ' ') "
    for dll in $($objdump -p "$file" | awk '/DLL Name:/ { print $3 }'); do
        lower=${dll,,}
        [[ $lower == api-ms-win-* || $system == *" ${lower%.dll} "* || $system == *" $lower "* ||
            $have == *" $lower "* ]] || echo "$dll"
    done
}

if [ -n "${2:-}" ]; then
    alone=$(mktemp -d)
    cp "$2/bin/ckrun.exe" "$alone/"
    if [ "$(unmet "$alone/ckrun.exe" "$alone")" = ChilkatDelphi32.dll ]; then
        pass "the check finds ChilkatDelphi32.dll missing beside ckrun.exe alone"
    else
        fail "the check finds ChilkatDelphi32.dll missing beside ckrun.exe alone" \
            "it found: $(unmet "$alone/ckrun.exe" "$alone")"
    fi
    rm -rf "$alone"
fi

shopt -s nullglob nocaseglob
files=("$1"/*.exe "$1"/*.dll)
[ ${#files[@]} -gt 0 ] || {
    fail "the package holds programs" "nothing in $1"
    exit 1
}
for file in "${files[@]}"; do
    name=$(basename "$file")
    missing=$(unmet "$file" "$1")
    if [ -z "$missing" ]; then
        pass "$name needs only the package and Windows itself"
    else
        fail "$name needs only the package and Windows itself" "not found: $(echo "$missing" | tr '\n' ' ')"
    fi
done
exit "$FAILED"
