#!/bin/bash
# The package holds everything it needs: every DLL that a program or library in it imports is
# either in the package or part of Windows itself.
#   package-imports.sh PACKAGE_DIR
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../emuboard/report.sh"
[ $# = 1 ] && [ -d "$1" ] || {
    echo "usage: $0 PACKAGE_DIR" >&2
    exit 2
}
objdump=x86_64-w64-mingw32-objdump
command -v $objdump >/dev/null || {
    echo "package-imports.sh: $objdump is missing; install binutils-mingw-w64-x86-64" >&2
    exit 1
}

# DLLs that every Windows 10 and later has in its system folder.
system='advapi32 bcrypt comctl32 comdlg32 crypt32 d2d1 d3d11 d3d12 d3d9 dwmapi dwrite dxgi gdi32
imm32 iphlpapi kernel32 msvcrt netapi32 ntdll ole32 oleaut32 opengl32 rpcrt4 secur32 setupapi
shcore shell32 shlwapi user32 userenv uxtheme version winmm winspool.drv ws2_32 wtsapi32'

shopt -s nullglob nocaseglob
files=("$1"/*.exe "$1"/*.dll)
[ ${#files[@]} -gt 0 ] || {
    fail "the package holds programs" "nothing in $1"
    exit 1
}
for file in "${files[@]}"; do
    name=$(basename "$file")
    missing=()
    for dll in $($objdump -p "$file" | awk '/DLL Name:/ { print $3 }'); do
        lower=${dll,,}
        stem=${lower%.dll}
        if [[ " ${system//$'\n'/ } " == *" $stem "* || " ${system//$'\n'/ } " == *" $lower "* ]]; then
            continue
        fi
        packaged=("$1"/"$dll")
        [ ${#packaged[@]} -gt 0 ] || missing+=("$dll")
    done
    if [ ${#missing[@]} = 0 ]; then
        pass "$name needs only the package and Windows itself"
    else
        fail "$name needs only the package and Windows itself" "not found: ${missing[*]}"
    fi
done
exit $FAILED
