#!/bin/sh
# Installs the Debian packages the build and the tests need, when missing.
set -e
packages="cmake make g++ clang libclang-rt-14-dev python3
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  binutils-mingw-w64-x86-64 binutils-mingw-w64-i686 mingw-w64-tools libz-mingw-w64-dev
  wine wine64 fonts-wine fonts-liberation xvfb xauth imagemagick googletest libgtest-dev
  zlib1g-dev nsis osslsigncode openssl"
missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing" >&2
sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q $missing
