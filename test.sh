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
# The 32-bit build installs and uninstalls the sample too, where Wine can
# run 32-bit programs; scripts/wine32.sh says so when it can't.
if scripts/wine32.sh; then
    E2E_INSTALLER_EXE="$PWD/build/win32/install.exe" E2E_DISKS="$PWD/build/samples/disks32" \
        scripts/with-display.sh sh -c 'tests/e2e/install_test.sh && tests/e2e/uninstall_test.sh'
fi
