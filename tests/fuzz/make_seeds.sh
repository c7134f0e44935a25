#!/bin/sh
# Builds the fuzzer's seed corpus with mkdisks: a small product on tiny disks,
# so that members are stored, compressed, empty and spread over volumes.
# Each seed is one archive, its volumes joined by "#VOLUME#".
#   make_seeds.sh MKDISKS OUTPUT-FOLDER
set -eu
mkdisks=$1
out=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/src" "$out"
seq 1 3000 > "$work/src/numbers.txt"
yes "corrector gramatical" | head -n 400 > "$work/src/words.txt"
: > "$work/src/empty.txt"
printf 'x' > "$work/src/one.txt"
awk 'BEGIN { s = 1; for (i = 0; i < 6000; i++) { s = (s * 1103515245 + 12345) % 2147483648; printf "%c", 33 + s % 90 } }' > "$work/src/noise.bin"
printf 'MZ' > "$work/src/install.exe"
printf 'llicencia' > "$work/src/licencia.txt"
cat > "$work/layout.txt" <<'LAYOUT'
[distribution]
sources = src
installer = install.exe
licence = licencia.txt
capacity = 8192
cluster = 1
time = 1999-05-01 12:00:00
[group G]
title = g
[group H]
title = h
[archive SMALL.MFA]
group = G
member = one.txt -> 0
member = empty.txt -> 0
member = words.txt -> 0 readonly
[archive SPAN.MFA]
group = H
member = numbers.txt -> 0
member = noise.bin -> -1
member = words.txt -> -3 stored
member = empty.txt -> 0 zlib
LAYOUT
"$mkdisks" "$work/layout.txt" "$work/disks" --quiet
for first in SMALL.MFA SPAN.MFA; do
    seed="$out/$first.seed"
    : > "$seed"
    name=$first
    sep=
    while true; do
        file=$(ls "$work"/disks/DISK*/"$name" 2>/dev/null | head -n 1 || true)
        [ -n "$file" ] || break
        printf '%s' "$sep" >> "$seed"
        cat "$file" >> "$seed"
        sep='#VOLUME#'
        last=$(printf '%s' "$name" | tail -c 1)
        next=$(printf '%s' "$last" | tr 'A-Y' 'B-Z')
        name=$(printf '%s' "$name" | sed "s/.\$/$next/")
    done
done
# A bare volume header and a volume with trailing bytes, for good measure.
printf 'mflh\0\0\0\0' > "$out/empty-volume.seed"
