#!/bin/sh
# A whole uninstallation after an unattended installation of the sample
# disks: the confirmation, the dictionary backup ("Continuar"), the final
# page, then everything the installation left is checked gone: the logged
# files, the folders, the program group, the registrations and the shared
# library with its count, and, once the second stage has run, the
# uninstaller itself with its folder and the second stage's own copy.
E2E_ROOT=$(cd "$(dirname "$0")/../.." && pwd)
. "$E2E_ROOT/scripts/e2e-lib.sh"
shots="${SCREENS_DIR:-$E2E_ROOT/build/screenshots}"
disks="$E2E_DISKS"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

e2e_sample_disks "$work"

e2e_prefix uninstall
e2e_copy_disks
INSTALLER=$E2E_SETUP
e2e_start /B
robot click "Instal*" 1 60 || fail "no start-up warning"
e2e_exit_is 0 600 || fail "the installation did not end"

drive_c="$WINE_PREFIX_DIR/drive_c"
target="$drive_c/OVCA40"
system="$drive_c/windows/syswow64"
log="$drive_c/windows/ovca40.log"
[ -f "$target/install.exe" ] && [ -f "$log" ] || fail "the installation left no uninstaller or log"
iconv -f cp1252 -t utf-8 "$log" | tr -d '\r' >"$work/log"
HKLM_CV='HKLM\Software\Microsoft\Windows\CurrentVersion'
shared() { "$RUN" reg query "$HKLM_CV\\SharedDLLs" /reg:32 2>/dev/null | tr -d '\r'; }
shared >"$work/shared-before"
grep -qi 'ovctl32.dll' "$work/shared-before" || fail "no shared count after installing"
INSTALLER='C:\OVCA40\install.exe'
e2e_start /U
robot click "Desinstal*" 1020 30 || fail "no confirmation page"
# The backup dialog is the one window of that caption holding "Continuar".
robot enabled "Desinstal*" 3 30 || fail "no backup dialog"
e2e_shot "Desinstal*" "$shots/backup-dialog.png"
robot click "Desinstal*" 3 || fail "could not press Continuar"
e2e_says "Ortavel 4.0 Catal*" 1037 "s'ha desinstal" 120 || fail "no final page"
e2e_shot "Ortavel 4.0 Catal*" "$shots/page-1547-uninstalled.png"
robot click "Ortavel 4.0 Catal*" 1020 || fail "no Seguent on the final page"
e2e_exit_is 0 60 || fail "the uninstall run did not end cleanly"
robot wait "Errada" 0 && fail "an error was shown"

# The second stage deletes the uninstaller once it has ended, then its folder.
i=0
while [ -d "$target" ] && [ $i -lt 300 ]; do sleep 0.1; i=$((i + 1)); done
[ -d "$target" ] && fail "C:\\OVCA40 is still there: $(cd "$target" && find . -mindepth 1)"
# Every file the log lists is gone, the uninstaller and the second stage too.
python3 - "$drive_c" "$work/log" <<'PY' || fail "logged files left behind"
import configparser, os, sys
drive_c, log = sys.argv[1:]
ini = configparser.ConfigParser(interpolation=None, delimiters=("=",), strict=False)
ini.optionxform = str
ini.read(log, encoding="utf-8")
folders = {int(k): v.split("|")[2] for k, v in ini["destinations"].items()}
folders[-2] = "C:\\windows\\"
folders[-3] = "C:\\windows\\syswow64\\"
left, checked = [], 0
for group in ini["groups"]:
    if not ini.has_section(group):
        continue
    for name, record in ini[group].items():
        dest = int(record.split("|")[0])
        if dest not in folders:
            continue
        path = os.path.join(drive_c, *(folders[dest][3:] + name).split("\\"))
        checked += 1
        if os.path.exists(path):
            left.append(path)
print("%d logged files checked" % checked)
if left or checked == 0:
    sys.exit("left: %s" % left)
PY
# The copy the second stage ran from went when it ended; nothing waits for a restart.
i=0
while find "$drive_c/users" -path '*/Temp/*' -name '????????.exe' 2>/dev/null | grep -q . && [ $i -lt 100 ]; do
    sleep 0.1; i=$((i + 1))
done
copies=$(find "$drive_c/users" -path '*/Temp/*' -name '????????.exe' 2>/dev/null)
[ -z "$copies" ] || fail "the second stage's copy stayed: $copies"
"$RUN" reg query 'HKLM\System\CurrentControlSet\Control\Session Manager' /v PendingFileRenameOperations \
    >/dev/null 2>&1 && fail "something was left to the next start of Windows"

"$RUN" reg query "$HKLM_CV\\App Paths\\Manual.hlp" >/dev/null 2>&1 && fail "the application path is still there"
"$RUN" reg query 'HKCU\SOFTWARE\Bramo\OVCA40DEMO' >/dev/null 2>&1 && fail "the product record is still there"
"$RUN" reg query "$HKLM_CV\\Uninstall" /s 2>/dev/null | tr -d '\r' | grep -qi 'Ortavel\|OVCA40' &&
    fail "the uninstall entry is still there"
shared >"$work/shared-after"
grep -qi 'ovctl32.dll' "$work/shared-after" && fail "the shared count of ovctl32.dll is still there"
[ -f "$system/ovctl32.dll" ] && fail "ovctl32.dll is still in the System folder"
grep -qi 'uninsta.exe' "$work/shared-after" && fail "the count of uninsta.exe is still there"
[ -f "$system/uninsta.exe" ] && fail "uninsta.exe is still in the System folder"
groups=$(find "$drive_c/users" "$drive_c/ProgramData" -path '*Start Menu/Programs/Ortavel 4.0 Catal*' 2>/dev/null)
[ -z "$groups" ] || fail "the program group is still there: $groups"

e2e_stop_prefix "$WINE_PREFIX_DIR"
echo "uninstall end-to-end: passed"
