#!/bin/sh
# The unattended demo: runs install.exe /B on the private display, answers
# what it asks with the UI robot, saves screenshots and prints what the run
# left behind.
E2E_ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$E2E_ROOT/scripts/e2e-lib.sh"
shots="$E2E_ROOT/build/screenshots/demo"

e2e_prefix demo
echo "Running install.exe /B $* in $WINE_PREFIX_DIR"
e2e_start /B "$@"
if robot wait "Instal*" 30; then
    e2e_shot "Instal*" "$shots/startup-warning.png"
    echo "Start-up: $(robot text "Instal*" 65535 | tr -d '\r' | head -n1)"
    robot click "Instal*" 1
fi
if robot wait "Errada" 10; then
    e2e_shot "Errada" "$shots/error.png"
    echo "Error shown: $(robot text "Errada" 1102 | tr -d '\r' | tr '\n' ' ')"
    robot click "Errada" 1
fi
e2e_wait_exit 60
echo "install.exe ended with exit code $?"
echo "Install log (C:\\windows\\ovca40.log), Events:"
e2e_events
echo "Screenshots in $shots"
e2e_stop_prefix "$WINE_PREFIX_DIR"
