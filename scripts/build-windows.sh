#!/bin/sh
# The Windows package, on Debian 12 as root:
#   scripts/build-windows.sh [--no-deps]
# installs what the build needs (scripts/deps.sh; --no-deps when that has been done), cross-builds
# both programs and ChilkatDelphi32.dll for 64-bit Windows (preset windows-mingw-x64; Qt,
# libjpeg-turbo, OpenSSL and libssh2 come from Debian's source packages, built once into the
# dependency cache), and puts the package into dist/windows-x86_64/ and a zip of it beside it.
# BUILD_DIR (default build-mingw-x64/) and DIST_DIR (default dist/) move the two folders.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$here/build-mingw-x64}
dist=${DIST_DIR:-$here/dist}
package=$dist/windows-x86_64
zip=$dist/Orvane-Pyrelle-windows-x86_64.zip

case "${1:-}" in
--no-deps) ;;
"") "$here/scripts/deps.sh" ;;
*)
    echo "usage: $0 [--no-deps]" >&2
    exit 2
    ;;
esac

cd "$here"
cmake --preset windows-mingw-x64 -B "$build" -DTAVRIN_PACKAGE_DIR="$package" >&2
cmake --build "$build"

# The programs find the library in their own folder; everything else is linked in. What the
# libraries' licences ask to travel with them goes along: Debian's copyright file of each source
# package built in. Symbols stay in the build folder: without them the programs are half the size.
rm -rf "$package" "$zip"
mkdir -p "$package/licences"
for file in Orvane.exe Pyrelle.exe ChilkatDelphi32.dll; do
    cp "$build/bin/$file" "$package/"
    x86_64-w64-mingw32-strip --strip-all "$package/$file"
done
while read -r source; do
    cp "$source/debian/copyright" "$package/licences/$(basename "$source").copyright"
done <"$build/debian-sources.txt"

(cd "$dist" && python3 -m zipfile -c "$zip" windows-x86_64)
echo "$package"
echo "$zip"
