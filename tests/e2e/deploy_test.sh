#!/bin/sh
# Deployment as administrators' tools do it, in one fresh prefix, with the
# commands of the README's "Deploying":
#   refused   an unknown switch (/s, or /X with /q) never starts the wizard:
#             1639, at once under /q, after the switches box otherwise
#   install   /q with the disks in a folder with blanks (/D:"..."), the
#             installation folder (/DIR="...") and a log (/LOG="..."): 0;
#             the uninstall entry read as a package manager reads it, the
#             exit code the log's last line
#   busy      a second run while one is going: 1618 at once, nothing waits
#   uninstall the entry's QuietUninstallString: 0, nothing of ours left
E2E_ROOT=$(cd "$(dirname "$0")/../.." && pwd)
. "$E2E_ROOT/scripts/e2e-lib.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
e2e_sample_disks "$work"

e2e_prefix deploy
drive="$WINE_PREFIX_DIR/drive_c"
mkdir -p "$drive/Els meus discs"
cp -r "$E2E_DISKS"/DISK* "$drive/Els meus discs/"
e2e_snapshot before
INSTALLER='C:\Els meus discs\DISK01\install.exe'
DISKS='/D:C:\Els meus discs\DISK01'
FOLDER='C:\Programes\Ortavel Català\'
UNINSTALL='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'

# --- refused -------------------------------------------------------------------
e2e_start /q /X
e2e_exit_is 1639 30 || fail "refused: /q /X did not end with 1639 at once"
e2e_events | grep -q '/X' || fail "refused: the log does not name /X"
e2e_start /s
robot click "Instal*" 1 30 || fail "refused: /s showed no switches box"
e2e_exit_is 1639 30 || fail "refused: /s did not end with 1639"
[ -d "$drive/OVCA40" ] && fail "refused: a refused command line installed something"

# --- install -------------------------------------------------------------------
e2e_start /q "$DISKS" "/DIR=$FOLDER" '/LOG=C:\logs\ov.txt'
e2e_exit_is 0 300 || fail "install: the deployment did not succeed"
[ -f "$drive/Programes/Ortavel Català/ovca40.lex" ] || [ -f "$drive/Programes/Ortavel Català/Dades/ovca40.lex" ] ||
    fail "install: the files are not in the folder /DIR named"
[ -e "$drive/OVCA40" ] && fail "install: the default folder was used"
log="$drive/logs/ov.txt"
tr -d '\r' <"$log" | tail -n 1 | grep -q 'Exit code: 0$' || fail "install: the log's last line is not the exit code"
grep -q 'Command line:' "$log" || fail "install: the log does not hold the command line"
e2e_stop_prefix "$WINE_PREFIX_DIR"
python3 - "$WINE_PREFIX_DIR/system.reg" "$drive/Programes/Ortavel Català" "$work/quiet.txt" <<'PY' ||
import os, re, sys
# The uninstall entry as the registry holds it (Wine's system.reg: names and
# texts with \\ and \xNN escapes), read as a package manager reads it.
reg, folder, quiet_out = sys.argv[1:]
unescape = lambda t: re.sub(r"\\x([0-9a-fA-F]{1,4})|\\(.)", lambda m: chr(int(m.group(1), 16)) if m.group(1) else m.group(2), t)
values, inside = {}, False
for line in open(reg, encoding="utf-8", errors="replace"):
    line = line.rstrip("\n")
    if line.startswith("["):
        inside = unescape(line[1:line.rindex("]")]).lower() == \
            "software\\microsoft\\windows\\currentversion\\uninstall\\ortavel 4.0 catal\u00e0"
        continue
    m = re.match(r'^"((?:[^"\\]|\\.)*)"=(.*)$', line) if inside else None
    if m:
        raw = m.group(2)
        values[unescape(m.group(1))] = int(raw[6:], 16) if raw.startswith("dword:") else unescape(raw.strip('"'))
need = {"DisplayVersion": "4.0.1", "Publisher": "Bramo", "VersionMajor": 4, "VersionMinor": 0,
        "Language": 1027, "NoModify": 1, "NoRepair": 1,
        "InstallLocation": "C:\\Programes\\Ortavel Catal\u00e0\\",
        "QuietUninstallString": '"C:\\Programes\\Ortavel Catal\u00e0\\install.exe" /U /Q'}
wrong = ["%s=%r" % (k, values.get(k)) for k, v in need.items() if values.get(k) != v]
wrong += [k + " missing" for k in ("UninstallString", "DisplayIcon", "InstallDate", "URLInfoAbout", "HelpLink")
          if not values.get(k)]
placed = sum(os.path.getsize(os.path.join(r, f)) for r, _, fs in os.walk(folder) for f in fs) / 1024
if not 0.9 * placed <= values.get("EstimatedSize", 0) <= 1.1 * placed:
    wrong.append("EstimatedSize %r KB for %d KB placed" % (values.get("EstimatedSize"), placed))
if wrong:
    sys.exit("; ".join(wrong))
open(quiet_out, "w", encoding="utf-8").write(values["QuietUninstallString"])
print("uninstall entry: version %s, %s KB, %s" % (values["DisplayVersion"], values["EstimatedSize"],
                                                  values["QuietUninstallString"]))
PY
    fail "install: the uninstall entry is not what a package manager reads"

# --- busy ----------------------------------------------------------------------
# A run by hand waits at its first box; a deployment meanwhile is told to
# come back later.
INSTALLER='C:\Els meus discs\DISK01\install.exe'
e2e_start
robot wait "Instal*" 60 || fail "busy: the first run shows no box"
first=$INSTALL_PID
e2e_start /Q
e2e_exit_is 1618 30 || fail "busy: a second run did not end with 1618 at once"
INSTALL_PID=$first
robot click "Instal*" 2 || fail "busy: could not cancel the first run"
e2e_exit_is 1602 60 || fail "busy: the first run did not end as cancelled"

# --- uninstall -----------------------------------------------------------------
# The QuietUninstallString as the tools run it: the program in its quotation
# marks, then its switches.
quiet=$(cat "$work/quiet.txt")
program=${quiet#\"}
program=${program%%\"*}
switches=${quiet##*\" }
INSTALLER=$program
# shellcheck disable=SC2086
e2e_start $switches
e2e_exit_is 0 300 || fail "uninstall: the QuietUninstallString did not succeed"
e2e_second_stage 30 || fail "uninstall: the second stage did not end"
# The user's dictionaries stay with a quiet uninstallation, and so does the
# administrator's log.
e2e_same_as before $E2E_STAYS 'Programes/' 'Programes/Ortavel?Català/' 'Programes/Ortavel?Català/ovusuca4.dbc' \
    'Programes/Ortavel?Català/ovsalca4.dbc' 'logs/' 'logs/ov.txt' || fail "uninstall: something of ours is left"
e2e_stop_prefix "$WINE_PREFIX_DIR"
echo "deploy end-to-end: passed"
