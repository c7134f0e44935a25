#!/bin/sh
# Builds the installer and starts it under Wine: on your display when there
# is one, else unattended (/B) on a private X display.
set -e
cd "$(dirname "$0")"
scripts/setup.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j2 --target setup_program uirobot
scripts/wineprefix.sh
if [ -n "$DISPLAY" ]; then
    exec scripts/winerun.sh build/win64/install.exe "$@"
fi
exec scripts/with-display.sh scripts/demo-unattended.sh "$@"
