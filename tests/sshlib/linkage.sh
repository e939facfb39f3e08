#!/bin/sh
# The library file carries the libssh2 built from Debian's source package, linked in statically
# and kept private, and nothing else brings another libssh2 in.
#   linkage.sh LIBRARY VERSION [PROGRAM...]
set -u
lib=$1
version=${2%%-*}
shift 2
fail=0
bad() {
    echo "FAIL: $*"
    fail=1
}

for file in "$lib" "$@"; do
    needed=$(readelf -d "$file" | awk '/NEEDED/ { gsub(/[][]/, "", $5); print $5 }' | tr '\n' ' ')
    echo "$file needs: $needed"
    case " $needed " in *libssh2*) bad "$file links a shared libssh2" ;; esac
    ldd "$file" | grep -q libssh2 && bad "$file loads a libssh2: $(ldd "$file" | grep libssh2)"
done
# The programs load the library at run time; neither links it.
for program in "$@"; do
    readelf -d "$program" | grep -q 'NEEDED.*ChilkatDelphi32' && bad "$program links the library"
done

grep -aq "SSH-2.0-libssh2_${version}\$\|SSH-2.0-libssh2_${version}[^0-9.]" "$lib" ||
    bad "$lib does not carry libssh2 $version (its banner is missing)"
exported=$(nm -D --defined-only "$lib" | awk '{ print $3 }' | grep -i 'ssh2' || true)
[ -z "$exported" ] || bad "$lib exports libssh2's own functions: $(echo "$exported" | tr '\n' ' ' | head -c 300)"

[ $fail = 0 ] && echo "PASS: one libssh2 ($version), inside $lib only"
exit $fail
