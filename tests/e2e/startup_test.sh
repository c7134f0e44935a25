#!/bin/sh
# Start-up and the first pages of the real program: the warning when no word
# processor is found, Cancel ending the run, the licence page, a missing
# profile reported through the error dialog and the failure page, and
# uninstall mode with its confirmation page.
E2E_ROOT=$(cd "$(dirname "$0")/../.." && pwd)
. "$E2E_ROOT/scripts/e2e-lib.sh"
shots="${SCREENS_DIR:-$E2E_ROOT/build/screenshots}"

# Cancel in the start-up box ends the run without any page or error.
e2e_prefix startup-cancel
e2e_dist
e2e_start
robot click "Instal*" 2 30 || fail "no start-up warning to cancel"
e2e_exit_is 1602 30 || fail "install.exe did not end as cancelled after Cancel"
e2e_events | grep -q "Could not write SMS status." || fail "exit step did not log the status report"
robot wait "Termes*" 0 && fail "a page was shown after Cancel"
e2e_stop_prefix "$WINE_PREFIX_DIR"

# OK leads to the licence page; cancelling there asks first.
e2e_prefix startup-ok
e2e_dist
e2e_start
robot wait "Instal*" 30 || fail "no start-up warning"
e2e_shot "Instal*" "$shots/startup-warning.png"
robot click "Instal*" 1 || fail "could not press OK"
robot wait "Termes*" 30 || fail "no licence page"
e2e_says "Termes*" 1016 "Termes de la llic" 10 || fail "licence text not shown"
e2e_shot "Termes*" "$shots/page-102-licence.png"
robot enabled "Termes*" 1027 0 && fail "< Enrere is enabled on the first page"
robot click "Termes*" 2 || fail "no Cancel on the licence page"
robot wait "Ortavel 4.0 Catal*" 10 || fail "no question on Cancel"
robot click "Ortavel 4.0 Catal*" 7 || fail "could not answer No"

# Without a profile beside the program the reading page fails: the error
# dialog in its two forms, then the failure page.
robot click "Termes*" 1020 || fail "no Seguent on the licence page"
robot wait "Errada" 30 || fail "no error dialog for the missing profile"
e2e_shot "Errada" "$shots/error-short.png"
robot enabled "Errada" 1104 0 && fail "the reference line is reachable in the short form"
robot click "Errada" 119 || fail "no Més>> button"
robot enabled "Errada" 1104 5 || fail "the full form did not enable its fields"
e2e_shot "Errada" "$shots/error-full.png"
ref=$(robot text "Errada" 1104 | tr -d '\r')
[ "$ref" = "9.0 (CInstallProfileException)" ] || fail "reference line is '$ref'"
robot click "Errada" 1 || fail "could not close the error dialog"
e2e_says "Ortavel 4.0 Catal*" 1037 "no s'ha finalitzat" 10 || fail "no failure page"
e2e_shot "Ortavel 4.0 Catal*" "$shots/page-116-failed.png"
robot click "Ortavel 4.0 Catal*" 1 || fail "could not close the failure page"
e2e_exit_is 1603 30 || fail "install.exe did not end as failed"
e2e_events | grep -q "Could not write SMS status." || fail "no status line after the failed run"
e2e_stop_prefix "$WINE_PREFIX_DIR"

# Uninstall mode: its confirmation page, and Cancel there goes to the
# failure page without a question.
e2e_prefix startup-uninstall
e2e_dist
e2e_start /U /PP:C:\\ANY.INI
robot wait "Desinstal*" 30 || fail "uninstall mode showed no confirmation page"
robot wait "Instal*" 0 && fail "uninstall mode showed the installation warning"
e2e_shot "Desinstal*" "$shots/page-1545-uninstall.png"
robot click "Desinstal*" 2 || fail "no Cancel on the confirmation page"
e2e_says "Desinstal*" 1037 "no s'ha desinstal" 10 || fail "no uninstall failure page"
robot click "Desinstal*" 1
e2e_exit_is 1602 30 || fail "uninstall run did not end as cancelled"
e2e_stop_prefix "$WINE_PREFIX_DIR"
echo "startup end-to-end: passed"
