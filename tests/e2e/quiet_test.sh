#!/bin/sh
# Unattended deployment: with /Q nothing ever waits for a person (no window
# is answered here), the exit code says how the run went, and a run that
# fails or is cancelled leaves the machine as it was, file by file and value
# by value (the log keeps its events). The same stories run from the disks
# and, with E2E_FORM=download, from the one-file download:
#   quiet       /Q installs and uninstalls (0); the user's dictionaries stay;
#               the download is started from a read-only folder whose name
#               has blanks and accented letters
#   disk        a disk that is missing: 1603 (disks)
#   damaged     a damaged member (in the download, sealed again so that the
#               member's own checksum finds it half-way): 1603, the error
#               in the log, the run rolled back, and the window system
#               never loaded (no program items are made)
#   profile     install.ini cut in half, or one byte of it changed (disks);
#               the download cut short by a byte or by half, or one byte of
#               it changed in the profile, a member or the trailer: 1603
#               before anything is done, the error in the log
#   space       too little free space: 1603 (disks)
#   cancel      the disk prompt answered "Cancel·lar" half-way through the
#               copy, through the pages: 1602 (disks)
#   update      an installation over an earlier one that fails: the
#               earlier one is whole and uninstalls cleanly
#   help        /? shows the switches and waits, /Q or not; 0, nothing done
E2E_ROOT=$(cd "$(dirname "$0")/../.." && pwd)
. "$E2E_ROOT/scripts/e2e-lib.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
e2e_sample_disks "$work"
STAYS=$E2E_STAYS

# machine NAME [FOLDER]: a fresh prefix with the distribution (in FOLDER),
# snapshot "before" taken.
machine() {
    e2e_prefix "quiet-$1"
    e2e_copy_disks "${2:-}"
    INSTALLER=$E2E_SETUP
    e2e_snapshot before
}

# A story of the disks alone.
disks_only() { [ "$E2E_FORM" = disks ]; }

# quiet CODE NAME [SWITCHES]: a /Q run that must end with CODE, unanswered.
quiet() {
    code=$1 name=$2
    shift 2
    e2e_start /Q "$@"
    # A box left waiting would keep the run from ending.
    e2e_exit_is "$code" 300 || fail "$name: /Q did not end with $code"
}

# damage ARCHIVE MEMBER: one byte of that member's stored data flipped, in
# the scenario's copy of the disks or of the download.
damage() {
    python3 - "$WINE_PREFIX_DIR/drive_c/DIST" "$1" "$2" <<'PY' || fail "could not damage $2"
import os, sys
import zlib
dist, archive, member = sys.argv[1:]
path = next(os.path.join(root, name) for root, _, names in sorted(os.walk(dist)) for name in names
            if name == archive or name.endswith(".exe") and root == dist)
data = bytearray(open(path, "rb").read())
start = 0
if path.endswith(".exe"):
    # The download's table, found by its trailer: 32-byte records.
    table, count = (int.from_bytes(data[-24 + i:-20 + i], "little") for i in (0, 4))
    for r in range(table, table + 32 * count, 32):
        if data[r:r + 16].split(b"\0")[0].decode() == archive:
            start = int.from_bytes(data[r + 16:r + 20], "little")
at = start + 8
while data[at:at + 4] == b"mfen":
    stored = int.from_bytes(data[at + 280:at + 284], "little")
    if data[at + 16:at + 276].split(b"\0")[0].decode("cp1252") == member:
        data[at + 346 + stored // 2] ^= 0xFF
        if start:
            # Sealed again, as if made so: the member's own checksum is
            # what finds the damage, half-way through the copy.
            pe = int.from_bytes(data[0x3C:0x40], "little")
            optional = pe + 24
            directories = optional + (112 if data[optional:optional + 2] == b"\x0b\x02" else 96)
            sealed = bytearray(data[:-4])
            sealed[optional + 64:optional + 68] = bytes(4)
            sealed[directories + 32:directories + 40] = bytes(8)
            crc = zlib.crc32(sealed)
            data[-4:] = crc.to_bytes(4, "little")
        open(path, "wb").write(data)
        sys.exit(0)
    at += 346 + stored
sys.exit("no member " + member)
PY
}

# damage_download HOW: the scenario's download cut short by a byte or by
# half, or one byte changed in its profile, a member or its trailer.
damage_download() {
    python3 - "$WINE_PREFIX_DIR/drive_c/DIST" "$1" <<'PY' || fail "could not damage the download ($1)"
import os, sys
dist, how = sys.argv[1:]
path = os.path.join(dist, next(n for n in os.listdir(dist) if n.endswith(".exe")))
data = bytearray(open(path, "rb").read())
table, count = (int.from_bytes(data[-24 + i:-20 + i], "little") for i in (0, 4))
parts = {bytes(data[r:r + 16]).split(b"\0")[0].decode(): int.from_bytes(data[r + 16:r + 20], "little")
         for r in range(table, table + 32 * count, 32)}
if how == "byte":
    data = data[:-1]
elif how == "half":
    data = data[:len(data) // 2]
else:
    at = {"profile": parts["install.ini"] + 40, "member": parts["AJUDA.MFA"] + 5000, "trailer": len(data) - 20}[how]
    data[at] ^= 0x01
open(path, "wb").write(data)
PY
}

# --- quiet ---------------------------------------------------------------------
if disks_only; then
    machine quiet
else
    # A folder named with blanks and accents that can't be written to (a
    # root account writes there all the same: the program must not try).
    machine quiet 'C:\Les meves baixades\Programari àç'
    chmod a-w "$WINE_PREFIX_DIR/drive_c/Les meves baixades/Programari àç"
    e2e_snapshot before
fi
quiet 0 quiet-install
INSTALLER='C:\OVCA40\install.exe'
quiet 0 quiet-uninstall /U
for f in ovusuca4.dbc ovsalca4.dbc; do
    [ -f "$WINE_PREFIX_DIR/drive_c/OVCA40/$f" ] || fail "quiet: the user's $f was not kept"
done
e2e_same_as before $STAYS OVCA40/ OVCA40/ovusuca4.dbc OVCA40/ovsalca4.dbc || fail "quiet: more than the dictionaries stayed"

# --- disk ----------------------------------------------------------------------
if disks_only; then
machine disk
rm -rf "$WINE_PREFIX_DIR/drive_c/DIST/DISK03"
e2e_snapshot before
quiet 1603 disk
e2e_events | grep -q "Disk 3 is missing" || fail "disk: the log does not name the missing disk"
e2e_same_as before || fail "disk: the failed run changed the machine"
fi

# --- damaged -------------------------------------------------------------------
machine damaged
damage AJUDA.MFA ManualCa.hlp
e2e_snapshot before
export WINEDEBUG=+pid,+loaddll
quiet 1603 damaged
unset WINEDEBUG
e2e_events | grep -q "Errada" || fail "damaged: the error is not in the log"
# A run that makes no program items never loads the window system: the
# libraries Wine loaded into the installer's process (its lines start with
# the process id; its program is the one native one), not into the
# services Wine started beside it.
loaded=$(awk -F: '/Loaded .*\.exe" at .*: native/ { pid = $1 } pid != "" && $1 == pid' "$WINE_PREFIX_DIR/install.out")
echo "$loaded" | grep -qi 'kernel32\.dll' || fail "damaged: Wine did not list the libraries it loaded"
echo "$loaded" | grep -qi 'user32\.dll' && fail "damaged: the unattended run loaded the window system"
e2e_same_as before || fail "damaged: the failed run changed the machine"

# --- profile -------------------------------------------------------------------
if ! disks_only; then
    machine download-damaged
    for how in byte half profile member trailer; do
        cp "$(e2e_download)" "$WINE_PREFIX_DIR/drive_c/DIST/"
        damage_download "$how"
        quiet 1603 "download-$how"
        e2e_events | grep -q "Errada 1061" || fail "download-$how: the log does not say the distribution is damaged"
    done
    e2e_same_as before 'DIST/*' || fail "download: a damaged download changed the machine"
fi
disks_only && for defect in cut changed; do
    machine "profile-$defect"
    python3 - "$WINE_PREFIX_DIR/drive_c/DIST/DISK01/install.ini" "$defect" <<'PY' || fail "profile: no profile"
import sys
path, defect = sys.argv[1:]
data = bytearray(open(path, "rb").read())
if defect == "cut":
    data = data[:len(data) // 2]
else:
    data[len(data) * 2 // 3] ^= 0x01
open(path, "wb").write(data)
PY
    e2e_snapshot before
    quiet 1603 "profile-$defect"
    e2e_events | grep -q "Errada 1061" || fail "profile-$defect: the log does not say the distribution is damaged"
    e2e_same_as before || fail "profile-$defect: a damaged distribution changed the machine"
done

# --- space ---------------------------------------------------------------------
if disks_only; then
machine space
# Records that ask for more than the drive has free; the check comes first.
# The profile is edited as an unsealed one, as older distributions are.
python3 - "$WINE_PREFIX_DIR/drive_c/DIST/DISK01/install.ini" <<'PY' || fail "space: no profile"
import re, shutil, sys
path = sys.argv[1]
need = shutil.disk_usage(path).free // 2000000000 + 4
text = re.sub(r"^\[check\]\r\ncrc=[0-9A-F]{8}\r\n", "", open(path, encoding="cp1252", newline="").read())
extra = "".join("BIG%04d=2000000000|5|1|1|0\r\n" % i for i in range(need))
open(path, "w", encoding="cp1252", newline="").write(text.replace("[Programa]\r\n", "[Programa]\r\n" + extra, 1))
PY
e2e_snapshot before
quiet 1603 space
e2e_events | grep -q "Not enough free space" || fail "space: the log does not say why"
e2e_same_as before || fail "space: the failed run changed the machine"
fi

# --- cancel --------------------------------------------------------------------
if disks_only; then
machine cancel
mv "$WINE_PREFIX_DIR/drive_c/DIST/DISK03" "$WINE_PREFIX_DIR/drive_c/DIST/ELSEWHERE"
e2e_snapshot before
e2e_start
e2e_pages_to_copy cancel
robot click "Inseriu el Disc" 2 120 || fail "cancel: no prompt for the third disk"
e2e_says "Ortavel 4.0 Catal*" 1037 "no s'ha finalitzat" 30 || fail "cancel: no failure page"
robot click "Ortavel 4.0 Catal*" 1 || fail "cancel: could not close the failure page"
e2e_exit_is 1602 60 || fail "cancel: the run did not end as cancelled"
e2e_same_as before || fail "cancel: the cancelled run changed the machine"
fi

# --- update --------------------------------------------------------------------
machine update
quiet 0 update-first
damage AJUDA.MFA ManualCa.hlp
e2e_snapshot installed
quiet 1603 update-failed
e2e_same_as installed || fail "update: the failed run changed the earlier installation"
INSTALLER='C:\OVCA40\install.exe'
e2e_start /U /B
robot click "Desinstal*" 3 60 || fail "update: no dictionary backup dialog"
e2e_exit_is 0 120 || fail "update: the earlier installation did not uninstall"
e2e_same_as before $STAYS 'DIST/*' || fail "update: the uninstallation left something"

# --- help ----------------------------------------------------------------------
machine help
INSTALLER=$E2E_SETUP
e2e_start /Q /?
robot wait "Instal*" 30 || fail "help: no box with the switches"
text=$(robot text "Instal*" 65535 | tr -d '\r' | iconv -f cp1252 -t utf-8)
case "$text" in *"/Q"*"1603"*) ;; *) fail "help: the box says '$text'" ;; esac
robot wait "Instal*" 2 || fail "help: the box did not wait"
robot click "Instal*" 1 || fail "help: no OK"
e2e_exit_is 0 30 || fail "help: the run did not end with 0"
e2e_same_as before || fail "help: /? changed the machine"
e2e_stop_prefix "$WINE_PREFIX_DIR"
echo "quiet end-to-end ($E2E_FORM): passed"
