#!/bin/sh
# Installs everything the build, the emulated board and the tests need (Debian 12, as root).
set -eu
export DEBIAN_FRONTEND=noninteractive
# 32-bit Wine runs the i686 build of the Windows branches.
dpkg --add-architecture i386
apt-get update
apt-get install -y --no-install-recommends \
    build-essential cmake ninja-build pkg-config git \
    libssh2-1-dev libssl-dev libgtest-dev libgmock-dev \
    dropbear-bin busybox-static openssh-client python3 python3-paramiko \
    iproute2 e2fsprogs util-linux procps time \
    qt6-base-dev libgl-dev libjpeg62-turbo-dev xvfb xauth fonts-wine \
    clang libclang-rt-14-dev \
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine wine64 wine32:i386
