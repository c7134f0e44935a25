#!/bin/sh
# A whole uninstallation after an unattended installation of the sample
# disks: the confirmation, the dictionary backup ("Continuar"), the final
# page, then everything the installation left is checked gone: the logged
# files, the folders, the program group, the registrations and the shared
# library with its count. uninsta.exe is made shared with another product
# first, so it survives its own uninstallation and the second stage can be
# seen starting.
E2E_ROOT=$(cd "$(dirname "$0")/../.." && pwd)
. "$E2E_ROOT/scripts/e2e-lib.sh"
shots="${SCREENS_DIR:-$E2E_ROOT/build/screenshots}"
disks="$E2E_DISKS"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

e2e_sample_disks "$work"

e2e_prefix uninstall
e2e_copy_disks
INSTALLER='C:\DIST\DISK01\install.exe'
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
# Another product counts on uninsta.exe too; the stand-in records its start.
standin=$(grep -i 'syswow64\\uninsta.exe' "$work/shared-before" | sed 's/^ *\(.*uninsta.exe\) .*/\1/I')
[ -n "$standin" ] || fail "uninsta.exe not counted as shared"
"$RUN" reg add "$HKLM_CV\\SharedDLLs" /v "$standin" /t REG_DWORD /d 2 /f /reg:32 >/dev/null 2>&1 ||
    fail "could not raise the count of uninsta.exe"
cp "$E2E_BUILD/uninsta_standin.exe" "$system/uninsta.exe"
export UNINSTA_RECORD='C:\uninsta-started.txt'

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

# Every file the log lists is gone, but for the running uninstaller itself
# where the platform keeps it, and uninsta.exe that another product shares.
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
        if dest not in folders or name.lower() in ("install.exe", "uninsta.exe"):
            continue
        path = os.path.join(drive_c, *(folders[dest][3:] + name).split("\\"))
        checked += 1
        if os.path.exists(path):
            left.append(path)
print("%d logged files checked" % checked)
if left or checked == 0:
    sys.exit("left: %s" % left)
PY
if [ -d "$target" ]; then
    rest=$(cd "$target" && find . -mindepth 1)
    if [ "$rest" = "./install.exe" ]; then
        echo "note: the running install.exe stayed, with its folder"
    else
        fail "C:\\OVCA40 still holds: $rest"
    fi
else
    echo "note: install.exe was deleted while running; C:\\OVCA40 is gone"
fi

"$RUN" reg query "$HKLM_CV\\App Paths\\Manual.hlp" >/dev/null 2>&1 && fail "the application path is still there"
"$RUN" reg query 'HKCU\SOFTWARE\Bramo\OVCA40DEMO' >/dev/null 2>&1 && fail "the product record is still there"
"$RUN" reg query "$HKLM_CV\\Uninstall" /s 2>/dev/null | tr -d '\r' | grep -qi 'Ortavel\|OVCA40' &&
    fail "the uninstall entry is still there"
shared >"$work/shared-after"
grep -qi 'ovctl32.dll' "$work/shared-after" && fail "the shared count of ovctl32.dll is still there"
[ -f "$system/ovctl32.dll" ] && fail "ovctl32.dll is still in the System folder"
grep -i 'uninsta.exe' "$work/shared-after" | grep -q '0x1' || fail "the count of uninsta.exe did not go from 2 to 1"
[ -f "$system/uninsta.exe" ] || fail "uninsta.exe was deleted although still shared"
groups=$(find "$drive_c/users" -path '*Start Menu/Programs/Ortavel 4.0 Catal*' 2>/dev/null)
[ -z "$groups" ] || fail "the program group is still there: $groups"

# The second stage started: the stand-in wrote its command line.
i=0
while [ ! -f "$drive_c/uninsta-started.txt" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
grep -qi 'syswow64\\uninsta.exe /U /PP:' "$drive_c/uninsta-started.txt" 2>/dev/null ||
    fail "the second stage did not start from the 32-bit System folder"

e2e_stop_prefix "$WINE_PREFIX_DIR"
echo "uninstall end-to-end: passed"
