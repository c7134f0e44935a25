#!/bin/sh
# Unattended installations from damaged copies of the sample disks, one defect
# each: a stored member whose checksum fails, a continuation volume without
# its "mflh" magic, and a volume cut off inside a zlib member. Each time the
# error dialog names message 17 with the right class and code, "Cancel·lar."
# leads to the failure page and the end of the run (cancelled, 1602), and
# the machine is as it was before the run: the files placed before the
# damaged member are taken away again. "Continuar." on the checksum error
# goes on with the next record and the run ends normally.
E2E_ROOT=$(cd "$(dirname "$0")/../.." && pwd)
. "$E2E_ROOT/scripts/e2e-lib.sh"
shots="${SCREENS_DIR:-$E2E_ROOT/build/screenshots}"
disks="$E2E_ROOT/build/samples/disks"
files="$E2E_ROOT/build/samples/files"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

e2e_sample_disks "$work"

# locate DISKS ARCHIVE MEMBER FRACTION: "DISKnn/VOLUME OFFSET METHOD" of the
# byte that lies FRACTION into MEMBER's stored data, following the archive
# from its first volume ARCHIVE through the next ones (.MFA, .MFB, ...) on
# whatever disks they are. Each volume is an 8-byte header, then the archive
# runs on: 346-byte entry headers, each followed by its stored data.
locate() {
    python3 - "$@" <<'PY'
import os, struct, sys
disks, name, member, fraction = sys.argv[1], sys.argv[2], sys.argv[3], float(sys.argv[4])
def find(name):
    for d in sorted(os.listdir(disks)):
        if os.path.isfile(os.path.join(disks, d, name)):
            return d + "/" + name
volumes = []
while find(name):
    rel = find(name)
    with open(os.path.join(disks, rel), "rb") as f:
        data = f.read()
    if data[:4] != b"mflh":
        sys.exit("%s has no volume header" % rel)
    volumes.append((rel, len(data), data[8:]))
    name = name[:-1] + chr(ord(name[-1]) + 1)
stream = b"".join(v[2] for v in volumes)
def where(pos):
    for rel, size, _ in volumes:
        if pos < size - 8:
            return rel, 8 + pos
        pos -= size - 8
    sys.exit("past the end of the archive")
pos = 0
while pos + 346 <= len(stream):
    header = stream[pos:pos + 346]
    if header[:4] != b"mfen":
        sys.exit("no entry header at %d" % pos)
    found = header[16:276].split(b"\0")[0].decode("cp1252")
    stored, method = struct.unpack_from("<I", header, 280)[0], struct.unpack_from("<I", header, 292)[0]
    if found == member:
        print(*where(pos + 346 + int(stored * fraction)), {2: "stored", 4: "zlib"}.get(method, method))
        sys.exit(0)
    pos += 346 + stored
sys.exit("no member " + member)
PY
}

# damaged CASE: a scratch copy of the disks for one defect.
damaged() {
    rm -rf "$work/$1"
    mkdir -p "$work/$1"
    cp -r "$disks"/DISK* "$work/$1/"
}

# Case a: one byte of the stored ovca40.tag (Diccionaris, DADES.MFA..MFB) flipped.
damaged checksum
spot=$(locate "$work/checksum" DADES.MFA ovca40.tag 0.5) || fail "ovca40.tag not found in the archive"
set -- $spot
[ "$3" = stored ] || fail "ovca40.tag is not stored but $3"
python3 - "$work/checksum/$1" "$2" <<'PY'
import sys
with open(sys.argv[1], "r+b") as f:
    f.seek(int(sys.argv[2]))
    b = f.read(1)
    f.seek(int(sys.argv[2]))
    f.write(bytes([b[0] ^ 0xFF]))
PY
cmp -s "$work/checksum/$1" "$disks/$1" && fail "the byte of ovca40.tag was not changed"

# Case b: the second volume of DADES.MFA, where ovca40.dic runs on, without its magic.
damaged magic
volume=$(find "$work/magic" -name DADES.MFB | head -n1)
[ -n "$volume" ] || fail "DADES.MFA has no second volume"
printf 'XXXX' | dd of="$volume" bs=1 seek=0 count=4 conv=notrunc 2>/dev/null
[ "$(head -c4 "$volume")" = XXXX ] || fail "the magic was not overwritten"

# Case c: AJUDA.MFA cut off in the middle of the zlib data of ManualCa.hlp.
damaged cut
spot=$(locate "$work/cut" AJUDA.MFA ManualCa.hlp 0.5) || fail "ManualCa.hlp not found in the archive"
set -- $spot
[ "$3" = zlib ] || fail "ManualCa.hlp is not zlib but $3"
truncate -s "$2" "$work/cut/$1"

target_of() { echo "$WINE_PREFIX_DIR/drive_c/OVCA40"; }

# start CASE NAME: a fresh prefix with the damaged disks as C:\DIST\DISK01..,
# the batch installation started from the first and its start-up box answered.
start() {
    e2e_prefix "bad-disks-$2"
    mkdir -p "$WINE_PREFIX_DIR/drive_c/DIST"
    cp -r "$work/$1"/DISK* "$WINE_PREFIX_DIR/drive_c/DIST/"
    INSTALLER='C:\DIST\DISK01\install.exe'
    e2e_snapshot before
    e2e_start /B
    robot click "Instal*" 1 60 || fail "$2: no start-up warning"
}

# error NAME REFERENCE FILE: the error dialog comes with message 17 about FILE
# and that reference line.
error() {
    robot wait "Errada" 600 || fail "$1: no error dialog"
    robot click "Errada" 119 || fail "$1: no Més>> button"
    robot enabled "Errada" 1104 5 || fail "$1: the full form did not open"
    ref=$(robot text "Errada" 1104 | tr -d '\r')
    msg=$(robot text "Errada" 1101 | tr -d '\r')
    echo "$1: reference line '$ref'; message: $msg"
    [ "$ref" = "$2" ] || fail "$1: reference line is '$ref', not '$2'"
    printf '%s' "$msg" | grep -q "$3" || fail "$1: the message does not name $3"
}

# cancelled NAME: "Cancel·lar." in the error dialog, then the failure page
# and its button end the run.
cancelled() {
    robot click "Errada" 2 || fail "$1: could not press Cancel·lar."
    e2e_says "Ortavel 4.0 Catal*" 1037 "no s'ha finalitzat" 30 || fail "$1: no failure page"
    robot click "Ortavel 4.0 Catal*" 1 || fail "$1: could not close the failure page"
    e2e_exit_is 1602 60 || fail "$1: the run did not end as cancelled after the failure page"
}

# placed NAME FILE...: each file (relative to C:\OVCA40) installed and equal to its source.
placed() {
    name=$1
    shift
    for f in "$@"; do
        [ -f "$(target_of)/$f" ] || fail "$name: $f was not installed"
        src=$(find "$files" -type f -iname "$(basename "$f")" | head -n1)
        [ -n "$src" ] || fail "$name: no source for $f"
        cmp -s "$src" "$(target_of)/$f" || fail "$name: $f differs from its source"
    done
}

# untouched NAME: after a cancelled run the machine is as it was before it.
untouched() {
    e2e_same_as before || fail "$1: the cancelled run left the machine changed"
}

# absent NAME FILE...: none of these is installed nor recorded in the log.
absent() {
    name=$1
    shift
    log="$WINE_PREFIX_DIR/drive_c/windows/ovca40.log"
    for f in "$@"; do
        [ -e "$(target_of)/$f" ] && fail "$name: $f is installed"
        [ -f "$log" ] && tr -d '\r' <"$log" | grep -qiE "^$(basename "$f")=-?[0-9]+\|[01]\|[01]" &&
            fail "$name: $f has a per-file record in the log"
    done
    return 0
}

no_temporaries() {
    temps=$(find "$(target_of)" -type f | grep -E '/[0-9a-f]{8}\.[^/]*$' || true)
    [ -z "$temps" ] || fail "$1: temporary files left: $temps"
}

# a. The checksum of ovca40.tag fails; "Cancel·lar." undoes the run.
start checksum checksum
error checksum "17.5 (CMultiFileException)" DADES.MFA
e2e_shot "Errada" "$shots/bad-checksum.png" || fail "checksum: no screenshot of the error dialog"
cancelled checksum
untouched checksum

# a'. "Continuar." on the same error: the rest of DADES.MFA is left out, the
# installation goes on with the next record (AJUDA.MFA) and ends normally.
start checksum checksum-continue
error checksum-continue "17.5 (CMultiFileException)" DADES.MFA
robot click "Errada" 1 || fail "checksum-continue: could not press Continuar."
e2e_exit_is 0 600 || fail "checksum-continue: the installation did not end normally"
placed checksum-continue Dades/sinonims.dat Manual.hlp problemes.hlp
absent checksum-continue Dades/ovca40.tag Dades/Regles/concordanca.rgl
robot wait "Ortavel 4.0 Catal*" 0 2>/dev/null && fail "checksum-continue: a page is still there"
e2e_events | grep -q "Could not write SMS status." || fail "checksum-continue: no status line in the log"
no_temporaries checksum-continue
e2e_stop_prefix "$WINE_PREFIX_DIR"

# b. The second volume of DADES.MFA has no magic: the member that runs on
# into it fails.
start magic magic
error magic "17.2 (CMultiFileException)" DADES.MFA
cancelled magic
untouched magic

# c. AJUDA.MFA ends inside ManualCa.hlp, past files already placed from it
# and from DADES.MFA: the decoder runs out of input.
start cut cut
error cut "17.4 (CZLibException)" AJUDA.MFA
cancelled cut
untouched cut
echo "bad disks end-to-end: passed"
