#!/bin/sh
# Start-up of the real program: the warning when no word processor is found,
# Cancel ending the run, the error dialog in its two forms, uninstall mode.
E2E_ROOT=$(cd "$(dirname "$0")/../.." && pwd)
. "$E2E_ROOT/scripts/e2e-lib.sh"
shots="$E2E_ROOT/build/screenshots"

# Cancel in the start-up box ends the run without any page or error.
e2e_prefix startup-cancel
e2e_start
robot click "Instal*" 2 30 || fail "no start-up warning to cancel"
e2e_wait_exit 30 || fail "install.exe failed after Cancel"
e2e_events | grep -q "Could not write SMS status." || fail "exit step did not log the status report"
robot wait "Errada" 0 && fail "an error was shown after Cancel"
e2e_stop_prefix "$WINE_PREFIX_DIR"

# OK goes on to the wizard; until its pages exist the first one can't be made,
# which is reported through the error dialog.
e2e_prefix startup-ok
e2e_start
robot wait "Instal*" 30 || fail "no start-up warning"
e2e_shot "Instal*" "$shots/startup-warning.png"
robot click "Instal*" 1 || fail "could not press OK"
robot wait "Errada" 30 || fail "no error dialog"
e2e_shot "Errada" "$shots/error-short.png"
robot enabled "Errada" 1104 && fail "the reference line is reachable in the short form"
robot click "Errada" 119 || fail "no Més>> button"
robot enabled "Errada" 1104 5 || fail "the full form did not enable its fields"
e2e_shot "Errada" "$shots/error-full.png"
ref=$(robot text "Errada" 1104 | tr -d '\r')
[ "$ref" = "9.0 (CXResourceException)" ] || fail "reference line is '$ref'"
robot click "Errada" 1 || fail "could not close the error dialog"
e2e_wait_exit 30 || fail "install.exe did not end cleanly"
e2e_stop_prefix "$WINE_PREFIX_DIR"

# Uninstall mode goes straight to its confirmation page, without the warning.
e2e_prefix startup-uninstall
e2e_start /U /PP:C:\\ANY.INI
robot wait "Errada" 30 || fail "uninstall mode showed no page or error"
robot wait "Instal*" 0 && fail "uninstall mode showed the installation warning"
robot click "Errada" 1
e2e_wait_exit 30 || fail "uninstall run did not end cleanly"
e2e_stop_prefix "$WINE_PREFIX_DIR"
echo "startup end-to-end: passed"
