#!/bin/sh
# Fetches Debian's source package of a library at one upstream version, with Debian's own
# patches applied, into the dependency cache (outside the source tree):
#
#   scripts/fetch-source.sh PACKAGE UPSTREAM_VERSION     e.g. libssh2 1.11.1
#
# The upstream version is pinned, the Debian revision is not: the newest revision the archive
# has for that upstream version is taken, so a security update lands by itself. apt-get
# verifies the files against the signed archive; dpkg-source applies the patches. The result
# is $TAVRIN_CACHE/src/PACKAGE_VERSION (TAVRIN_CACHE defaults to /var/cache/tavrin), where the
# build finds it. Needs the deb-src entries that scripts/deps.sh adds.
set -eu
[ $# = 2 ] || {
    echo "usage: $0 PACKAGE UPSTREAM_VERSION" >&2
    exit 2
}
package=$1
upstream=$2
cache=${TAVRIN_CACHE:-/var/cache/tavrin}

# Every revision of that upstream version (a repacked "+dfsg" source counts as the same),
# newest first. A revision whose files the archive no longer serves is passed over for the
# next one.
candidates=$(apt-cache showsrc "$package" 2>/dev/null | awk '/^Version:/ { print $2 }' |
    while read -r version; do
        case ${version#*:} in
        "$upstream"-* | "$upstream"+*-*) echo "$version" ;;
        esac
    done | sort -u | sort -r -V)
if [ -z "$candidates" ]; then
    echo "$0: Debian's archive offers no source of $package $upstream; scripts/deps.sh adds the deb-src entries and runs apt-get update" >&2
    exit 1
fi

mkdir -p "$cache/src"
work=$(mktemp -d "$cache/src/.fetch-$package.XXXXXX")
trap 'rm -rf "$work"' EXIT
# apt's download user writes into the folder.
chown _apt "$work" 2>/dev/null || true
for best in $candidates; do
    dir=$cache/src/${package}_${best#*:}
    if [ -f "$dir/.complete" ]; then
        echo "$package ${best}: already in $dir"
        exit 0
    fi
    rm -rf "${work:?}"/*
    if (cd "$work" && apt-get source -q --download-only "$package=$best" && dpkg-source -x ./*.dsc tree); then
        rm -rf "$dir"
        mv "$work/tree" "$dir"
        touch "$dir/.complete"
        echo "$package ${best}: unpacked into $dir"
        exit 0
    fi
    echo "$0: $package $best could not be fetched; trying an older revision" >&2
done
echo "$0: no revision of $package $upstream could be fetched ($(echo "$candidates" | tr '\n' ' '))" >&2
exit 1
