#!/bin/sh
# The exit code says what happened, whatever the user does and whenever:
#   cancel   an uninstallation cancelled while it deletes (a file another
#            program holds keeps it at that file for a moment) stops after
#            that file, ends on the failure page with 1603 and keeps the
#            uninstall entry; run again, it finishes, and after the restart
#            the machine is as it was before the installation
#   close    the main window closed on the last page of an uninstallation:
#            the run ends with 0 and the second stage still runs
E2E_ROOT=$(cd "$(dirname "$0")/../.." && pwd)
. "$E2E_ROOT/scripts/e2e-lib.sh"
e2e_work_with_holder
e2e_sample_disks "$work"

# installed NAME: a fresh prefix with the disks, snapshot "before", then an
# unattended installation.
installed() {
    e2e_prefix "outcome-$1"
    e2e_copy_disks
    e2e_snapshot before
    INSTALLER='C:\DIST\DISK01\install.exe'
    e2e_start /Q
    e2e_exit_is 0 300 || fail "$1: the installation did not succeed"
    INSTALLER='C:\OVCA40\install.exe'
}

# --- cancel --------------------------------------------------------------------
installed cancel
# The help's first file is the first the uninstaller deletes.
e2e_hold 'C:\OVCA40\Manual.hlp' cancel
e2e_start /U
robot click "Desinstal*" 1020 30 || fail "cancel: no confirmation page"
robot enabled "Desinstal*" 3 30 || fail "cancel: no backup dialog"
robot click "Desinstal*" 3 || fail "cancel: could not press Continuar"
robot click "Ortavel 4.0 Catal*" 2 10 || fail "cancel: no Cancel·lar while the files go"
robot click "Ortavel 4.0 Catal*" 6 10 || fail "cancel: the cancel was not asked about"
robot click "Desinstal*" 1 30 || fail "cancel: no failure page"
e2e_exit_is 1603 60 || fail "cancel: a cancel after files were deleted is not 1603"
[ -f "$WINE_PREFIX_DIR/drive_c/OVCA40/ovgram32.dll" ] || fail "cancel: the deletion went on after the cancel"
"$RUN" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null | grep -qi OVCA40 ||
    fail "cancel: the uninstall entry is gone, so nothing can finish the work"
touch "$WINE_PREFIX_DIR/drive_c/hold.go"
wait "$HOLD_PID"
HOLD_PID=
e2e_start /U /B
robot click "Desinstal*" 3 60 || fail "cancel: the second run has no dictionary backup dialog"
e2e_exit_is 0 120 || fail "cancel: run again, the uninstallation did not finish"
e2e_second_stage 30 || fail "cancel: the second stage did not end"
e2e_restart
e2e_same_as before $E2E_STAYS 'hold.*' || fail "cancel: finished and restarted, the machine is not as it was"

# --- close ---------------------------------------------------------------------
installed close
e2e_start /U
e2e_uninstall_pages close
robot close OrtavelSetupMain 10 || fail "close: no main window"
e2e_exit_is 0 60 || fail "close: closing the window after the work did not end with its result"
e2e_second_stage 30 || fail "close: the second stage did not end"
[ -d "$WINE_PREFIX_DIR/drive_c/OVCA40" ] && fail "close: the second stage did not run"
e2e_same_as before $E2E_STAYS || fail "close: the machine is not as it was"
e2e_stop_prefix "$WINE_PREFIX_DIR"
echo "outcome end-to-end: passed"
