#!/bin/sh
# Builds every preset and runs all tests: the host's (natively, under the
# sanitizers) and the Windows ones (under Wine, on a private X display).
set -e
cd "$(dirname "$0")"
scripts/setup.sh
for preset in host win64 win32; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j2
done
scripts/wineprefix.sh
ctest --preset host
scripts/with-display.sh ctest --preset win64
