#!/bin/sh
# Installs everything the build, the emulated board and the tests need (Debian 12, as root).
set -eu
export DEBIAN_FRONTEND=noninteractive
# 32-bit Wine runs the i686 build of the Windows branches.
dpkg --add-architecture i386
apt-get update
apt-get install -y --no-install-recommends \
    build-essential cmake ninja-build pkg-config git \
    libssl-dev dpkg-dev libgtest-dev libgmock-dev \
    dropbear-bin busybox-static openssh-client python3 python3-paramiko \
    iproute2 e2fsprogs util-linux procps time \
    qt6-base-dev libgl-dev libjpeg62-turbo-dev xvfb xauth fonts-wine \
    clang libclang-rt-14-dev clang-format shellcheck \
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine wine64 wine32:i386

# OpenSSH's sshd runs only inside the emulated board. Its package would start a server on this
# machine's port 22; a policy says no to that while it installs.
# The policy goes on every way out, a failed install included: left behind, it would keep every
# service on this machine from starting.
if [ ! -x /usr/sbin/sshd ]; then
    policy=/usr/sbin/policy-rc.d
    if [ ! -e $policy ]; then
        trap 'rm -f $policy' EXIT
        trap 'exit 1' HUP INT TERM
        printf '#!/bin/sh\nexit 101\n' >$policy && chmod 755 $policy
        apt-get install -y --no-install-recommends openssh-server
        rm -f $policy
        trap - EXIT HUP INT TERM
    else
        apt-get install -y --no-install-recommends openssh-server
    fi
fi

# Libraries built from Debian's source packages (see README): mirror the system's Debian
# entries as deb-src, for this release and for the next one, whose libssh2 we build.
python3 "$(dirname "$0")/debian-sources.py" /etc/apt/sources.list.d/tavrin-src.sources
apt-get update
"$(dirname "$0")/fetch-source.sh" libssh2 1.11.1
# This release's OpenSSL, Qt and libjpeg-turbo, for the Windows build of the library and the
# programs (cmake/CrossOpenSSL.cmake, cmake/CrossQt.cmake).
"$(dirname "$0")/fetch-source.sh" openssl 3.0.20
"$(dirname "$0")/fetch-source.sh" qt6-base 6.4.2
"$(dirname "$0")/fetch-source.sh" libjpeg-turbo 2.1.5
