#!/bin/sh
# Builds the installer and the sample distribution disks and runs the
# installer from DISK01 under Wine: on your display when there is one, else
# unattended (/B) on a private X display. Either way the run happens in a
# copy of the project's Wine prefix (build/e2e/demo), and what it installed
# is printed at the end. Arguments go to install.exe.
set -e
cd "$(dirname "$0")"
scripts/setup.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j2 --target setup_program uirobot
cmake --preset host >/dev/null
cmake --build --preset host -j2 --target mkdisks
samples/make-disks.sh
scripts/wineprefix.sh
if [ -n "$DISPLAY" ]; then
    exec scripts/demo-run.sh "$@"
fi
exec scripts/with-display.sh scripts/demo-run.sh /B "$@"
