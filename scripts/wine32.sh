#!/bin/sh
# Makes Wine's 32-bit support (Debian's wine32, of the i386 architecture)
# available for the 32-bit build's end-to-end runs. Exit 0 when it is there;
# otherwise one line says why not and the exit code is 1. A failed attempt
# takes the i386 architecture away again, so that later package installs
# are not held up by its index.
if dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed"; then
    exit 0
fi
sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo
log=$(mktemp)
trap 'rm -f "$log"' EXIT
added=""
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386 && added=yes
fi
if $sudo apt-get update -q >"$log" 2>&1 &&
   DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends wine32:i386 >>"$log" 2>&1; then
    exit 0
fi
reason=$(grep -E '^E: ' "$log" | head -n1 | cut -c1-160)
if [ -n "$added" ]; then
    $sudo dpkg --remove-architecture i386 2>/dev/null && $sudo apt-get update -q >/dev/null 2>&1
fi
echo "32-bit Wine (wine32:i386) could not be installed (${reason:-unknown reason}): the 32-bit build's end-to-end runs are skipped" >&2
exit 1
