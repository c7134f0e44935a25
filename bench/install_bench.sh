#!/bin/sh
# Installation speed against the yardsticks, measured in one run on this
# machine: the same 64 MiB mixed payload installed silently by our
# install.exe (/B, from disks made by mkdisks), by an NSIS installer (zlib,
# /S), copied plainly under Wine (xcopy) and unpacked natively (tar -xzf).
# Prints MB/s for each (10^6 bytes per second of wall-clock time, Wine
# program start included, warm page cache) and the ratio ours/NSIS.
#
# The disks are one CD-sized volume (capacity 700 MiB), so every archive is
# a single volume in DISK01 and no disk is asked for.
#
#   bench/install_bench.sh        (REPEAT=n runs of each, best kept; default 3)
# Not "set -e": the shared end-to-end helpers expect commands that may fail.
set -u
E2E_ROOT=$(cd "$(dirname "$0")/.." && pwd)
if [ -z "${DISPLAY:-}" ]; then
    exec "$E2E_ROOT/scripts/with-display.sh" "$0" "$@"
fi
. "$E2E_ROOT/scripts/e2e-lib.sh"
REPEAT=${REPEAT:-3}
work="$E2E_ROOT/build/bench-install"
payload="$work/payload"
MKDISKS="$E2E_ROOT/build/host/mkdisks"

"$E2E_ROOT/scripts/setup.sh" || exit 1
[ -x "$MKDISKS" ] || (cd "$E2E_ROOT" && cmake --preset host >/dev/null && cmake --build build/host -j2 --target mkdisks >/dev/null) || exit 1
[ -f "$E2E_BUILD/install.exe" ] && [ -f "$E2E_BUILD/uirobot.exe" ] ||
    (cd "$E2E_ROOT" && cmake --preset win64 >/dev/null && cmake --build build/win64 -j2 --target setup_program uirobot >/dev/null) || exit 1

# --- the payload: 64 MiB, deterministic -------------------------------------
#   text/   4 x 6 MiB  word lists and rules, compress to about a quarter
#   bin/    4 x 4 MiB  random bytes, incompressible (stored by both)
#   exe/    8 x 2 MiB  program stand-ins, compress to about a half
#   small/  512 files in 16 folders, 8 MiB, half text, half random
rm -rf "$work"
mkdir -p "$payload"
python3 - "$payload" <<'EOF'
import os, random, sys
root = sys.argv[1]
rng = random.Random(64)
words = [w.encode() for w in """paraula frase regla diccionari gramàtica ortografia corrector
verb nom adjectiu article concordança preposició accent document carpeta arxiu programa
català llengua text pàgina línia error suggeriment ignorar canviar afegir revisar""".split()]
def text(n):
    out = bytearray()
    while len(out) < n:
        out += b" ".join(rng.choice(words) for _ in range(rng.randint(4, 12))) + b".\r\n"
    return bytes(out[:n])
def program(n):
    ops = [rng.randbytes(rng.randint(1, 6)) for _ in range(160)]
    out = bytearray(b"MZ" + bytes(62))
    while len(out) < n * 6 // 10:
        out += ops[min(int(rng.expovariate(0.04)), 159)]
        if rng.random() < 0.3:
            out += rng.randbytes(4)
    return bytes(out[:n * 6 // 10]) + rng.randbytes(n - n * 6 // 10)
def put(path, data):
    full = os.path.join(root, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    with open(full, "wb") as f:
        f.write(data)
MiB = 1 << 20
for i in range(4):
    put("text/text%d.dic" % i, text(6 * MiB))
    put("bin/data%d.bin" % i, rng.randbytes(4 * MiB))
for i in range(8):
    put("exe/prog%d.dll" % i, program(2 * MiB))
sizes = [rng.randint(1024, 31 * 1024) for _ in range(512)]
sizes[-1] += 8 * MiB - sum(sizes)
for i, n in enumerate(sizes):
    put("small/%02d/f%03d.%s" % (i % 16, i, "txt" if i % 2 else "dat"), text(n) if i % 2 else rng.randbytes(n))
EOF
[ $? = 0 ] || exit 1
bytes=$(find "$payload" -type f -printf '%s\n' | awk '{ n += $1 } END { print n }')
files=$(find "$payload" -type f | wc -l)
echo "Payload: $files files, $bytes bytes"

# --- our disks: one layout, one group, an archive per kind of file ---------
layout="$work/bench.layout"
{
    echo "[distribution]"
    echo "sources = payload"
    echo "time = 1999-05-01 12:00:00"
    echo "capacity = 734003200"
    echo "[disk 1]"
    echo "label = Banc de proves"
    echo "[destination 0]"
    echo "folder = BENCH"
    echo "parent = none"
    n=1
    for d in text bin exe small; do
        printf '[destination %d]\nfolder = %s\nparent = app\n' $n $d
        n=$((n + 1))
    done
    for i in $(seq 0 15); do
        printf '[destination %d]\nfolder = %02d\nparent = 4\n' $((10 + i)) "$i"
    done
    echo "[group Banc]"
    echo "title = Banc de proves"
    echo "minimum = yes"
    echo "typical = yes"
    n=1
    for d in text bin exe; do
        echo "[archive $(echo $d | tr a-z A-Z).MFA]"
        echo "group = Banc"
        for f in "$payload/$d"/*; do echo "member = $d/$(basename "$f") -> $n"; done
        n=$((n + 1))
    done
    echo "[archive SMALL.MFA]"
    echo "group = Banc"
    for i in $(seq 0 15); do
        for f in "$payload/small/$(printf %02d "$i")"/*; do
            echo "member = small/$(printf %02d "$i")/$(basename "$f") -> $((10 + i))"
        done
    done
} >"$layout"
"$MKDISKS" "$layout" "$work/disks" --installer "$E2E_BUILD/install.exe" \
    --licence "$E2E_ROOT/samples/licencia.txt" --quiet || exit 1
echo "Our disks: $(ls "$work/disks" | wc -l) volume folder(s), $(du -sb "$work/disks" | cut -f1) bytes"

# --- the NSIS installer of the same payload --------------------------------
cat >"$work/bench.nsi" <<EOF
Target amd64-unicode
SetCompressor zlib
Name "Banc de proves"
OutFile "$work/nsisbench.exe"
InstallDir "C:\\NSISBENCH"
RequestExecutionLevel user
Section
  SetOutPath "\$INSTDIR"
  File /r "$payload/*.*"
SectionEnd
EOF
makensis -V1 "$work/bench.nsi" >"$work/makensis.out" 2>&1 || { cat "$work/makensis.out" >&2; exit 1; }
echo "NSIS installer: $(stat -c %s "$work/nsisbench.exe") bytes"
tar -czf "$work/payload.tar.gz" -C "$payload" . || exit 1
echo "tar.gz: $(stat -c %s "$work/payload.tar.gz") bytes"

# --- the runs ---------------------------------------------------------------
e2e_prefix bench-install
drive="$WINE_PREFIX_DIR/drive_c"
cp -r "$work/disks" "$drive/BENCHDIST"
cp "$work/nsisbench.exe" "$drive/"
cp -r "$payload" "$drive/BENCHSRC"
cp "$WINE_PREFIX_DIR/system.reg" "$WINE_PREFIX_DIR/user.reg" "$work/"
# The prefix copy is 700 MB and holds three copies of the payload.
trap 'e2e_stop_prefix "$WINE_PREFIX_DIR"; rm -rf "$WINE_PREFIX_DIR" "$work/untar"' EXIT

now() { date +%s.%N; }
# Keeps the prefix's server up between runs, so each run starts warm.
warm() { WINEPREFIX="$WINE_PREFIX_DIR" wineserver -p; "$RUN" cmd /c exit >/dev/null 2>&1 || true; }
# same DIR: exit 0 when DIR holds exactly the payload.
same() { [ -d "$1" ] && diff -r -q "$payload" "$1" >/dev/null 2>&1; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }
best() { awk -v a="$1" -v b="$2" 'BEGIN { print (b == "" || a < b) ? a : b }'; }
rate() { awk -v n="$bytes" -v s="$1" 'BEGIN { printf "%.1f", n / 1e6 / s }'; }
warm

nsis="" copy="" untar="" ours="" why=""
for r in $(seq 1 "$REPEAT"); do
    rm -rf "$drive/NSISBENCH"
    t0=$(now); "$RUN" "$drive/nsisbench.exe" /S >/dev/null 2>&1; t1=$(now)
    same "$drive/NSISBENCH" || { echo "NSIS did not install the payload" >&2; exit 1; }
    nsis=$(best "$(elapsed "$t0" "$t1")" "$nsis")

    rm -rf "$drive/COPY"
    t0=$(now); "$RUN" xcopy 'C:\BENCHSRC' 'C:\COPY\' /E /I /Q /Y >/dev/null 2>&1; t1=$(now)
    same "$drive/COPY" || { echo "xcopy did not copy the payload" >&2; exit 1; }
    copy=$(best "$(elapsed "$t0" "$t1")" "$copy")

    rm -rf "$work/untar" && mkdir "$work/untar"
    t0=$(now); tar -xzf "$work/payload.tar.gz" -C "$work/untar"; t1=$(now)
    same "$work/untar" || { echo "tar did not unpack the payload" >&2; exit 1; }
    untar=$(best "$(elapsed "$t0" "$t1")" "$untar")
done

# Ours: /B from the disk folder. The start-up box about the missing word
# processors comes even in batch mode and is answered. An error dialog ends
# the run; when every file was already in place by then, the time up to the
# dialog still counts (and the error is named), otherwise nothing is measured.
note="" boxtime=""
for r in $(seq 1 "$REPEAT"); do
    e2e_stop_prefix "$WINE_PREFIX_DIR"
    cp "$work/system.reg" "$work/user.reg" "$WINE_PREFIX_DIR/"
    rm -rf "$drive/BENCH" "$drive/windows/ovca40.log" "$drive/windows/ovca40.ini"
    warm
    INSTALLER='C:\BENCHDIST\DISK01\install.exe'
    error="" ended=0 i=0
    t0=$(now)
    e2e_start /B
    robot click "Instal*" 1 30 >/dev/null 2>&1
    answered=$(elapsed "$t0" "$(now)")
    while [ $i -lt 1200 ]; do
        kill -0 "$INSTALL_PID" 2>/dev/null || { ended=1; break; }
        if robot wait "Errada" 0 >/dev/null 2>&1; then
            error=$(robot text "Errada" 1102 2>/dev/null | tr -d '\r' | tr '\n' ' ' | sed 's/ *$//')
            break
        fi
        sleep 0.05
        i=$((i + 1))
    done
    t1=$(now)
    got=$(find "$drive/BENCH" -type f 2>/dev/null | wc -l)
    if [ $ended = 0 ]; then
        kill "$INSTALL_PID" 2>/dev/null
        e2e_stop_prefix "$WINE_PREFIX_DIR"
    fi
    if ! same "$drive/BENCH"; then
        why="${error:+error dialog \"$error\", }$got of $files files in place after $(elapsed "$t0" "$t1") s"
        [ $ended = 1 ] || [ -n "$error" ] || why="still running after 60 s, $got of $files files in place"
        ours=""
        break
    fi
    [ -z "$error" ] || note="the run then stopped at the error dialog \"$error\""
    took=$(elapsed "$t0" "$t1")
    [ "$(best "$took" "$ours")" != "$took" ] || boxtime=$answered
    ours=$(best "$took" "$ours")
done

echo
echo "Installing $bytes bytes ($files files), best of $REPEAT:"
printf '  NSIS /S (zlib)          %6.2f s  %7s MB/s\n' "$nsis" "$(rate "$nsis")"
printf '  plain copy (Wine xcopy) %6.2f s  %7s MB/s\n' "$copy" "$(rate "$copy")"
printf '  native tar -xzf         %6.2f s  %7s MB/s\n' "$untar" "$(rate "$untar")"
if [ -n "$ours" ]; then
    printf '  our installer /B        %6.2f s  %7s MB/s\n' "$ours" "$(rate "$ours")"
    printf '  ratio ours/NSIS         %s (speed)\n' "$(awk -v a="$nsis" -v b="$ours" 'BEGIN { printf "%.2f", a / b }')"
    echo "  (the best run includes $boxtime s up to the answered start-up box)"
    [ -z "$note" ] || echo "  note: all files were in place; $note"
else
    echo "  our installer: not measurable yet ($why)"
    echo "  ratio ours/NSIS         -"
fi
