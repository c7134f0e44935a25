#!/bin/sh
# The sample distribution as a user gets it: every archive on the disks
# decodes, the profile on DISK01 describes every group and labels every
# disk, the large archive runs over several disks, and the installer started
# from DISK01 reads that profile and offers its installation folder.
E2E_ROOT=$(cd "$(dirname "$0")/../.." && pwd)
. "$E2E_ROOT/scripts/e2e-lib.sh"
MKDISKS="$E2E_ROOT/build/host/mkdisks"
disks="$E2E_ROOT/build/samples/disks"
shots="${SCREENS_DIR:-$E2E_ROOT/build/screenshots}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

e2e_sample_disks "$work"
ini="$disks/DISK01/install.ini"
[ -f "$ini" ] || fail "no install.ini on DISK01"
[ -f "$disks/DISK01/install.exe" ] || fail "no install.exe on DISK01"
[ -f "$disks/DISK01/licencia.txt" ] || fail "no licencia.txt on DISK01"
ndisks=$(ls -d "$disks"/DISK* | wc -l)
[ "$ndisks" -ge 3 ] || fail "only $ndisks disks; the sample should need three floppies or more"
for d in "$disks"/DISK*; do
    used=$(find "$d" -type f -printf '%s\n' | awk '{ n += int(($1 + 511) / 512) * 512 } END { print n }')
    [ "$used" -le 1457664 ] || fail "$(basename "$d") holds $used bytes, more than a 1.44 MB floppy"
done

# The profile, read the way the installer reads it (Windows-1252, "|" fields).
iconv -f cp1252 -t utf-8 "$ini" | tr -d '\r' >"$work/install.ini" || fail "install.ini is not Windows-1252"
python3 - "$work/install.ini" "$ndisks" >"$work/archives" <<'EOF' || fail "the profile is incomplete"
import configparser, sys
ini = configparser.ConfigParser(interpolation=None, delimiters=("=",), strict=False)
ini.optionxform = str
ini.read(sys.argv[1], encoding="utf-8")
ndisks = int(sys.argv[2])
problems = []
groups = ini["groups"]
editors = ["WP5", "WP6", "WP8", "Word6", "Word7", "Word97", "Word2000", "Amipro", "WordPro"]
for name in ["Programa", "Diccionaris", "Ajuda"] + editors:
    if name not in groups:
        problems.append("group %s missing from [groups]" % name)
for name, value in groups.items():
    fields = value.split("|")
    if len(fields) != 5 or not fields[0]:
        problems.append("group %s: record '%s'" % (name, value))
    if name not in ini or not ini[name]:
        problems.append("group %s has no section of files" % name)
    if name in editors and fields[4] != "1":
        problems.append("editor group %s is not selectable" % name)
    if name == "Programa" and fields[2:4] != ["1", "1"]:
        problems.append("the program is not in the minimum and typical installations")
if ini["destinations"].get("0", "").split("|")[0] != "OVCA40":
    problems.append("destination 0 is not named OVCA40")
disks = ini["diskettes"]
for n in range(1, ndisks + 1):
    if disks.get(str(n), "").split("|")[0] != "Ortavel 4.0 Català - Disc %d" % n:
        problems.append("disk %d is not labelled: '%s'" % (n, disks.get(str(n))))
spanning = 0
for name in groups:
    for file, value in ini[name].items():
        size, kind, count, disk, dest = (int(f) for f in value.split("|")[:5])
        if kind == 1:
            print("DISK%02d/%s %d %d" % (abs(disk), file, count, disk < 0))
            spanning += disk < 0
if not spanning:
    problems.append("no archive runs on to a next disk")
if "Bramo" not in ini["license"].get("company", ""):
    problems.append("no licensee company")
for p in problems:
    print(p, file=sys.stderr)
sys.exit(1 if problems else 0)
EOF

# Every archive lists and decodes, through all its volumes; those the profile
# marks as running on span two disks or more.
n=0
while read -r volume count spans; do
    "$MKDISKS" list "$disks/$volume" >"$work/list" 2>&1 || { cat "$work/list" >&2; fail "mkdisks list $volume"; }
    "$MKDISKS" test "$disks/$volume" >"$work/test" 2>&1 || { cat "$work/test" >&2; fail "mkdisks test $volume"; }
    tail -n1 "$work/test" | grep -q "^$count members in " || fail "$volume: the profile counts $count members"
    volumes=$(tail -n1 "$work/test" | sed -n 's/.* in \([0-9]*\) volume.*/\1/p')
    if [ "$spans" = 1 ]; then
        [ "$volumes" -ge 2 ] || fail "$volume is marked as running on but has $volumes volume"
        stem=$(basename "$volume" | sed 's/.$//')
        on=$(ls "$disks"/DISK*/"$stem"? | sed 's|.*/\(DISK[0-9]*\)/.*|\1|' | sort -u | wc -l)
        [ "$on" -ge 2 ] || fail "$volume lies on $on disk"
    fi
    n=$((n + 1))
done <"$work/archives"
[ "$n" -ge 12 ] || fail "only $n archives in the profile"
"$MKDISKS" list "$disks/DISK01/PROGRAMA.MFA" | grep -q "^ovctl32.dll .* -3 " ||
    fail "the shared library does not go to the System folder"

# The installer started from the first disk folder reads that profile: the
# folder page offers destination 0 on the first fixed drive.
e2e_prefix sample-disks
mkdir -p "$WINE_PREFIX_DIR/drive_c/DIST"
cp -r "$disks"/DISK* "$WINE_PREFIX_DIR/drive_c/DIST/"
INSTALLER='C:\DIST\DISK01\install.exe'
e2e_start
robot click "Instal*" 1 30 || fail "no start-up warning"
robot click "Termes*" 1020 30 || fail "no licence page"
folder=$(robot text "Seleccionar*" 1001 30 | tr -d '\r')
robot wait "Errada" 0 2>/dev/null && fail "an error was shown while reading the profile"
[ "$folder" = 'C:\OVCA40\' ] || fail "the folder page offers '$folder', not C:\\OVCA40\\"
e2e_shot "Seleccionar*" "$shots/sample-folder-page.png"
robot click "Seleccionar*" 2 || fail "no Cancel on the folder page"
robot click "Ortavel 4.0 Catal*" 6 10 || fail "no question on Cancel"
e2e_says "Ortavel 4.0 Catal*" 1037 "no s'ha finalitzat" 10 || fail "no failure page after Cancel"
robot click "Ortavel 4.0 Catal*" 1 || fail "could not close the failure page"
e2e_exit_is 1602 30 || fail "install.exe did not end as cancelled after Cancel"
[ -e "$WINE_PREFIX_DIR/drive_c/OVCA40/ovca40.exe" ] && fail "files were copied although the run was cancelled"
e2e_stop_prefix "$WINE_PREFIX_DIR"
echo "sample disks end-to-end: passed ($ndisks disks, $n archives)"
