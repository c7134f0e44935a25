#!/bin/sh
# A whole unattended installation of the sample product from its floppy
# disks (one folder per disk), checked the way an administrator would: every
# file in place and byte-identical with its source, groups not selected left
# out, the install log with its per-file records and the written-back model,
# the application path, the uninstall entry and the shared-DLL count.
E2E_ROOT=$(cd "$(dirname "$0")/../.." && pwd)
. "$E2E_ROOT/scripts/e2e-lib.sh"
MKDISKS="$E2E_ROOT/build/host/mkdisks"
disks="$E2E_DISKS"
files="$E2E_ROOT/build/samples/files"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

e2e_sample_disks "$work"

e2e_prefix install-batch
e2e_copy_disks
INSTALLER=$E2E_SETUP
e2e_start /B
robot click "Instal*" 1 60 || fail "no start-up warning"
e2e_exit_is 0 600 || fail "the installation did not end with success"
robot wait "Errada" 0 && fail "an error was shown"

target="$WINE_PREFIX_DIR/drive_c/OVCA40"
log="$WINE_PREFIX_DIR/drive_c/windows/ovca40.log"
[ -d "$target" ] || fail "no installation folder C:\\OVCA40"
[ -f "$log" ] || fail "no install log"
iconv -f cp1252 -t utf-8 "$log" | tr -d '\r' >"$work/log"

# Every member of every archive of a typical group, and every plain file:
# installed byte for byte, or absent when its group is not typical. No word
# processor is found here, so the editor groups (the selectable ones) stay
# unticked on the unattended editor page and are not copied either; and with
# no editor that calls it, the stand-alone checker program and its data are
# removed again at the end (their records stay in the log).
python3 - "$disks" "$files" "$WINE_PREFIX_DIR/drive_c" "$work/log" "$MKDISKS" <<'PY' || fail "installed files differ"
import configparser, os, subprocess, sys
disks, files, drive_c, log, mkdisks = sys.argv[1:]
ini = configparser.ConfigParser(interpolation=None, delimiters=("=",), strict=False)
ini.optionxform = str
with open(os.path.join(disks, "DISK01", "install.ini"), encoding="cp1252") as f:
    ini.read_string(f.read())
logini = configparser.ConfigParser(interpolation=None, delimiters=("=",), strict=False)
logini.optionxform = str
logini.read(log, encoding="utf-8")

folders = {}
for key, value in logini["destinations"].items():
    folders[int(key)] = value.split("|")[2]
windows = os.path.join(drive_c, "windows")
system = os.path.join(windows, "syswow64")

def local(path):
    assert path[:3].upper() == "C:\\", path
    return os.path.join(drive_c, *path[3:].split("\\"))

def where(dest, name):
    if dest == -2: return os.path.join(windows, name)
    if dest == -3: return os.path.join(system, name)
    return os.path.join(local(folders[dest]), name)

problems, checked, absent = [], 0, 0
for group, value in ini["groups"].items():
    fields = value.split("|")
    typical = fields[3] == "1" and fields[4] != "1"
    for name, record in ini[group].items():
        size, kind, count, disk, dest = (int(x) for x in record.split("|")[:5])
        members = []
        if kind == 0:
            members.append((name, dest, None))
        else:
            volume = os.path.join(disks, "DISK%02d" % abs(disk), name)
            out = subprocess.run([mkdisks, "list", volume], capture_output=True, text=True, encoding="cp1252")
            if out.returncode != 0:
                problems.append("mkdisks list %s failed" % name)
            for line in out.stdout.splitlines()[1:]:
                parts = line.split()
                if len(parts) >= 8:
                    members.append((parts[0], int(parts[4]), True))
        for member, mdest, _ in members:
            if mdest == -1:
                continue
            base = member.replace("/", "\\").split("\\")[-1]
            path = where(mdest, base)
            if not typical:
                if os.path.exists(path) and mdest >= 0:
                    problems.append("%s of group %s is installed" % (base, group))
                absent += 1
                continue
            if base.lower() in ("ovca40.exe", "wvcommca.dat"):
                # Taken away again, with its record: the log names what is there.
                if os.path.exists(path):
                    problems.append("%s stayed though no editor calls it" % base)
                if logini.get(group, base, fallback=None) is not None:
                    problems.append("%s is logged though it was taken away" % base)
                continue
            if not os.path.exists(path):
                problems.append("%s (%s) missing at %s" % (base, group, path))
                continue
            if logini.get(group, base, fallback=None) is None:
                problems.append("no log record for %s in [%s]" % (base, group))
            checked += 1
print("checked %d installed files, %d left out" % (checked, absent))
if problems:
    print("\n".join(problems[:20]), file=sys.stderr)
    sys.exit(1)
PY

# Byte-identical: every file under the target has its source among the payload.
for f in $(cd "$target" && find . -type f); do
    src=$(find "$files" -type f -iname "$(basename "$f")" | head -n1)
    [ -n "$src" ] || [ "$(basename "$f")" = "install.exe" ] || fail "no source for $f"
    [ -n "$src" ] && { cmp -s "$src" "$target/$f" || fail "$f differs from its source"; }
done
# The shared parts go where the 32-bit editors load them from.
[ -f "$WINE_PREFIX_DIR/drive_c/windows/syswow64/ovctl32.dll" ] || fail "the shared library is not in the 32-bit System folder"
for f in ovctl32.dll uninsta.exe; do
    [ -f "$WINE_PREFIX_DIR/drive_c/windows/system32/$f" ] && fail "$f was placed in the 64-bit System folder"
done

grep -q '^0=OVCA40|-1|C:\\OVCA40\\$' "$work/log" || fail "destination 0 not written back"
grep -q "Could not write SMS status." "$work/log" || fail "no status line in the log"
temps=$(find "$target" -name '????????.*' | grep -E '/[0-9a-f]{8}\.[^/]*$' || true)
[ -z "$temps" ] || fail "temporary files left: $temps"

query() { "$RUN" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r'; }
query 'HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\Manual.hlp' Path | grep -q 'C:\\OVCA40' ||
    fail "no application path"
"$RUN" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null | tr -d '\r' |
    grep -qiF '"C:\OVCA40\install.exe" /U' || fail "no uninstall entry"
"$RUN" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\SharedDLLs' /reg:32 2>/dev/null | tr -d '\r' |
    grep -i 'syswow64\\ovctl32.dll' | grep -q '0x1' || fail "shared DLL not counted in the 32-bit view"
"$RUN" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\SharedDLLs' /reg:64 2>/dev/null | tr -d '\r' |
    grep -qi 'ovctl32.dll' && fail "shared DLL counted in the 64-bit view"
# Every installed target has its shell link in the group's folder under the
# Start-menu Programs of every user (an administrator's installation is the
# machine's), and none in the user's own, named by its title up to the
# title's last dot, and pointing at the installed file (the uninstaller's
# with "/U").
python3 - "$WINE_PREFIX_DIR/drive_c" "$work/log" <<'PY' || fail "program items missing"
import configparser, glob, os, sys
drive_c, log = sys.argv[1:]
ini = configparser.ConfigParser(interpolation=None, delimiters=("=",), strict=False)
ini.optionxform = str
ini.read(log, encoding="utf-8")
group = "Ortavel 4.0 Catal\u00e0"
folders = glob.glob(os.path.join(drive_c, "ProgramData", "Microsoft", "Windows", "Start Menu", "Programs", group))
own = glob.glob(os.path.join(drive_c, "users", "*", "AppData", "Roaming", "Microsoft",
                             "Windows", "Start Menu", "Programs", group))
if len(folders) != 1 or own:
    sys.exit("no all-users Start-menu group folder %r (found %r; the user's own: %r)" % (group, folders, own))
problems, made = [], 0
for key, value in ini["targets"].items():
    fields = value.split("|")
    title, arguments, installed = fields[3], fields[4], fields[6]
    if not installed:
        continue
    name = title.rsplit(".", 1)[0] if "." in title else title
    link = os.path.join(folders[0], name + ".lnk")
    if not os.path.isfile(link):
        problems.append("no link %s for %s" % (link, key))
        continue
    data = open(link, "rb").read()
    base = installed.split("\\")[-1]
    if base.lower().encode("cp1252") not in data.lower() and \
            base.lower().encode("utf-16-le") not in data.lower():
        problems.append("%s does not point at %s" % (link, installed))
    if arguments and arguments.encode("utf-16-le") not in data and arguments.encode("cp1252") not in data:
        problems.append("%s lacks its arguments %s" % (link, arguments))
    made += 1
# No item points at a file that a later step took away again.
links = glob.glob(os.path.join(folders[0], "*.lnk"))
if len(links) != made:
    problems.append("%d links for %d installed targets: %s" % (len(links), made, links))
print("%d program items in %s" % (made, folders[0]))
if problems or made == 0:
    print("\n".join(problems) or "no installed target", file=sys.stderr)
    sys.exit(1)
PY

query 'HKCU\SOFTWARE\Bramo\OVCA40DEMO' ROOT-PATH | grep -q 'C:\\OVCA40\\' ||
    fail "no product record"

# A second installation over the first: the earlier record brings the warning
# about an installed version, and every file is placed again over its older copy.
e2e_start /B
robot click "Instal*" 1 60 || fail "second run: no start-up warning"
# The first box may still be closing: wait for the second one's text.
i=0
until robot text "Instal*" 65535 5 2>/dev/null | grep -q "Ortavel 3.0"; do
    i=$((i + 1))
    [ $i -lt 50 ] || fail "second run: no warning about the installed version"
    sleep 0.2
done
robot click "Instal*" 1 || fail "second run: could not go on"
e2e_exit_is 0 600 || fail "the second installation did not end with success"
robot wait "Errada" 0 && fail "the second run showed an error"
iconv -f cp1252 -t utf-8 "$log" | tr -d '\r' | grep -q '^Manual.hlp=0|1|1|0$' ||
    fail "second run: Manual.hlp not recorded as replacing its older copy"
cmp -s "$(find "$files" -name Manual.hlp | head -n1)" "$target/Manual.hlp" || fail "second run: Manual.hlp differs"
e2e_stop_prefix "$WINE_PREFIX_DIR"
echo "install end-to-end: passed"
