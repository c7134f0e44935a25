#!/bin/sh
# Installation speed against the yardsticks, side by side in one run on this
# machine. Two payloads (bench/bench_payloads.py): the README's 64 MiB mixed
# one of 528 files, and 5,000 small files of 1 to 20 KB. Each round runs
# every contender once on each payload, one after the other, so that noise
# hits them all alike:
#   ours   install.exe /Q from disks made by mkdisks (one CD-sized volume,
#          so no disk is asked for); its exit code and the files are checked
#   one file  the same payload from the one-file download mkdisks makes
#          beside the disks (mixed payload): the whole file checked first
#   NSIS   an installer of the same payload made by makensis (zlib), /S
#   copy   a plain copy under Wine (xcopy)
#   tar    native tar -xzf
#   floor  bench/file_calls_bench: the folders made, then each file created
#          under a temporary name, written from memory, closed and renamed
# On the mixed payload each installer's uninstaller runs right after its
# installation: ours install.exe /U /Q from the installation folder, NSIS's
# uninst.exe /S _?=folder (in place: without _?= it copies itself away and
# returns at once). Each round also times each kind of file call on its own
# (file_calls_bench calls and log).
#
# Figures are medians over the rounds. Times are wall-clock seconds with the
# Windows program's start against a warm server included (about 0.03 s), but
# for the floor and the calls, which the program times itself; warm page
# cache. Ratios are of times: ours/NSIS at most 1.00 means at least as fast;
# against NSIS each is also given round by round (the median of each
# round's own ratio), which the machine's noise moves less.
# Both installers write their own uninstaller too (ours install.exe as a
# member of the installation folder, NSIS uninst.exe).
#
#   bench/install_bench.sh        (REPEAT=n rounds, default 5)
# Not "set -e": the shared end-to-end helpers expect commands that may fail.
set -u
E2E_ROOT=$(cd "$(dirname "$0")/.." && pwd)
if [ -z "${DISPLAY:-}" ]; then
    exec "$E2E_ROOT/scripts/with-display.sh" "$0" "$@"
fi
E2E_DPI=${E2E_DPI:-}
. "$E2E_ROOT/scripts/e2e-lib.sh"
REPEAT=${REPEAT:-5}
here="$E2E_ROOT/bench"
work="$E2E_ROOT/build/bench-install"
figures="$work/figures"
MKDISKS="$E2E_ROOT/build/host/mkdisks"
PAYLOADS="mixed small"

"$E2E_ROOT/scripts/setup.sh" || exit 1
[ -x "$MKDISKS" ] || (cd "$E2E_ROOT" && cmake --preset host >/dev/null && cmake --build build/host -j2 --target mkdisks >/dev/null) || exit 1
(cd "$E2E_ROOT" && { [ -f build/win64/CMakeCache.txt ] || cmake --preset win64 >/dev/null; } &&
    cmake --build build/win64 -j2 --target setup_program sample_uninsta file_calls_bench >/dev/null) || exit 1

ratio() { [ -n "$1" ] && [ -n "$2" ] && awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }' || echo "-"; }

# --- the payloads and each contender's input --------------------------------
rm -rf "$work"
mkdir -p "$figures"
for name in $PAYLOADS; do
    dir="$work/$name"
    mkdir -p "$dir"
    python3 "$here/bench_payloads.py" payload "$name" "$dir/payload" || exit 1
    python3 "$here/bench_payloads.py" layout "$dir/payload" OURS "$E2E_BUILD/install.exe" >"$dir/bench.layout" || exit 1
    "$MKDISKS" "$dir/bench.layout" "$dir/disks" --installer "$E2E_BUILD/install.exe" \
        --licence "$E2E_ROOT/samples/licencia.txt" --quiet || exit 1
    python3 "$here/bench_payloads.py" nsis "$dir/payload" 'C:\NSIS' "$dir/nsis.exe" >"$dir/bench.nsi" || exit 1
    makensis -V1 "$dir/bench.nsi" >"$dir/makensis.out" 2>&1 || { cat "$dir/makensis.out" >&2; exit 1; }
    tar -czf "$dir/payload.tar.gz" -C "$dir/payload" . || exit 1
    bytes=$(find "$dir/payload" -type f -printf '%s\n' | awk '{ n += $1 } END { print n }')
    files=$(find "$dir/payload" -type f | wc -l)
    eval "bytes_$name=$bytes files_$name=$files"
    nsis_size=$(stat -c %s "$dir/nsis.exe") tar_size=$(stat -c %s "$dir/payload.tar.gz")
    disks=$(find "$dir/disks" -path '*/DISK*' -type f -printf '%s\n' | awk '{ n += $1 } END { print n }')
    download=$(stat -c %s "$dir/disks/Banc.exe")
    echo "$name payload: $files files, $bytes bytes; our disks $disks, one file $download" \
        "($(ratio "$download" "$disks") of the disks), NSIS $nsis_size, tar.gz $tar_size bytes"
    # What the format's headers take: 346 bytes a member (the payload's
    # files, the installer and its second stage).
    headers=$(( (files + 2) * 346 ))
    eval "sizes_$name='disks/NSIS $(ratio "$disks" "$nsis_size"), disks/tar.gz $(ratio "$disks" "$tar_size"), one file/disks $(ratio "$download" "$disks"); member headers $headers bytes ($(awk -v a="$headers" -v b="$nsis_size" 'BEGIN { printf "%.1f", 100 * a / b }') % of NSIS)'"
done

# --- the prefix -------------------------------------------------------------
e2e_prefix bench-install
drive="$WINE_PREFIX_DIR/drive_c"
mkdir -p "$drive/DIST" "$drive/SRC"
for name in $PAYLOADS; do
    cp -r "$work/$name/disks" "$drive/DIST/$name"
    cp "$work/$name/disks/Banc.exe" "$drive/DIST/banc-$name.exe"
    cp "$work/$name/nsis.exe" "$drive/DIST/nsis-$name.exe"
    cp -r "$work/$name/payload" "$drive/SRC/$name"
done
cp "$E2E_BUILD/bench/file_calls_bench.exe" "$drive/"
cp "$WINE_PREFIX_DIR/system.reg" "$WINE_PREFIX_DIR/user.reg" "$work/"
# The prefix copy is 700 MB and holds several copies of the payloads.
trap 'e2e_stop_prefix "$WINE_PREFIX_DIR"; rm -rf "$WINE_PREFIX_DIR" "$work/untar"' EXIT

now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }
# Keeps the prefix's server up between runs, so each run starts warm. The
# programs Wine starts with a new server (wineboot, winemenubuilder, the
# desktop) go on for about a second after the first program has ended: the
# next run would share the two cores with them.
warm() {
    WINEPREFIX="$WINE_PREFIX_DIR" wineserver -p
    "$RUN" cmd /c exit >/dev/null 2>&1 || true
    sleep 2
}
# record KEY VALUE: one more figure of KEY; fault KEY TEXT: a run of KEY
# that measured nothing, and why.
record() { echo "$2" >>"$figures/$1"; }
fault() { echo "$2" >>"$figures/$1.fault"; }
# Every run starts with nothing of the previous one's left to write back to
# the disk, so that no run pays for another's writes.
settle() { sync; }
# timed PROGRAM ARGS...: runs a Windows program; sets t0, t1, took and rc.
timed() {
    settle
    t0=$(now)
    timeout 600 "$RUN" "$@" >"$work/run.out" 2>&1
    rc=$?
    t1=$(now)
    took=$(elapsed "$t0" "$t1")
}
# done: our installer succeeded; "restart needed" counts too, the files
# decide (a file waiting for the restart is not in place).
done_ok() { [ "$rc" = 0 ] || [ "$rc" = 194 ]; }
status() {
    case $1 in
    0) echo "0 (success)" ;; 66) echo "1602 (cancelled)" ;; 67) echo "1603 (failed)" ;;
    194) echo "3010 (restart needed)" ;; 124) echo "nothing within 600 s" ;; *) echo "status $1" ;;
    esac
}
# same PAYLOAD DIR: DIR holds exactly the payload (and an installer's own
# uninstaller).
same() { [ -d "$2" ] && diff -r -q -x install.exe -x uninst.exe "$work/$1/payload" "$2" >/dev/null 2>&1; }
# left DIR: how many files other than the uninstallers are still in DIR.
left() { find "$1" -type f ! -name install.exe ! -name uninst.exe 2>/dev/null | wc -l; }
# phases KEY DIR: from the start to the first file of DIR placed, from there
# to the last (each file's last change, a rename or a time set), from there
# to the end. The files' change times come from the same clock as t0.
phases() {
    set -- "$1" $(find "$2" -type f -printf '%C@\n' | sort -g | sed -n '1p;$p')
    record "$1.first" "$(elapsed "$t0" "$2")"
    record "$1.copy" "$(elapsed "$2" "$3")"
    record "$1.after" "$(elapsed "$3" "$t1")"
}
# Our installer leaves its log, journal and registry entries: the machine as
# before, for every round alike.
reset_machine() {
    e2e_stop_prefix "$WINE_PREFIX_DIR"
    cp "$work/system.reg" "$work/user.reg" "$WINE_PREFIX_DIR/"
    rm -rf "$drive/OURS" "$drive/windows/ovca40.log" "$drive/windows/ovca40.jnl" "$drive/windows/ovca40.ini"
    warm
}
why_ours() { e2e_events | tail -n 2 | tr -d '\r' | tr '\n' ' '; }

# install_ours KEY PROGRAM PAYLOAD: a fresh machine, PROGRAM /Q, its time
# recorded as KEY when it placed exactly the payload; false otherwise.
install_ours() {
    reset_machine
    timed "$2" /Q
    if ! done_ok || ! same "$3" "$drive/OURS"; then
        fault "$1" "exit $(status $rc), $(left "$drive/OURS") files in place; $(why_ours)"
        return 1
    fi
    record "$1" "$took"
}

ours() {
    install_ours "ours.$1" "C:\\DIST\\$1\\DISK01\\install.exe" "$1" || return
    phases "ours.$1" "$drive/OURS"
    if [ "$1" = small ]; then
        # Over itself (a repair): every file has an older copy to move aside
        # first, which the journal puts on the disk before the move.
        timed "C:\\DIST\\$1\\DISK01\\install.exe" /Q
        if done_ok && same "$1" "$drive/OURS"; then record "ours.$1.over" "$took"; else
            fault "ours.$1.over" "exit $(status $rc); $(why_ours)"; fi
    fi
    [ "$1" = mixed ] || return
    timed 'C:\OURS\install.exe' /U /Q
    n=$(left "$drive/OURS")
    if done_ok && [ "$n" = 0 ]; then record "ours.uninstall" "$took"; else
        fault "ours.uninstall" "exit $(status $rc), $n files left; $(why_ours)"; fi
}

# one_file PAYLOAD: our installer from its one-file download.
one_file() {
    install_ours "file.$1" "C:\\DIST\\banc-$1.exe" "$1"
}

nsis() {
    rm -rf "$drive/NSIS"
    timed "C:\\DIST\\nsis-$1.exe" /S
    if [ $rc != 0 ] || ! same "$1" "$drive/NSIS"; then
        fault "nsis.$1" "exit $(status $rc), $(left "$drive/NSIS") files in place"
        return
    fi
    record "nsis.$1" "$took"
    phases "nsis.$1" "$drive/NSIS"
    [ "$1" = mixed ] || return
    timed 'C:\NSIS\uninst.exe' /S '_?=C:\NSIS'
    n=$(left "$drive/NSIS")
    if [ $rc = 0 ] && [ "$n" = 0 ]; then record "nsis.uninstall" "$took"; else
        fault "nsis.uninstall" "exit $(status $rc), $n files left"; fi
}

plain_copy() {
    rm -rf "$drive/COPY"
    timed xcopy "C:\\SRC\\$1" 'C:\COPY\' /E /I /Q /Y
    if [ $rc = 0 ] && same "$1" "$drive/COPY"; then record "copy.$1" "$took"; else
        fault "copy.$1" "exit $(status $rc)"; fi
}

untar() {
    rm -rf "$work/untar" && mkdir "$work/untar"
    settle
    t0=$(now); tar -xzf "$work/$1/payload.tar.gz" -C "$work/untar"; rc=$?; t1=$(now)
    if [ $rc = 0 ] && same "$1" "$work/untar"; then record "tar.$1" "$(elapsed "$t0" "$t1")"; else
        fault "tar.$1" "tar -xzf failed"; fi
}

# value NAME: a figure the bench program printed.
value() { awk -v k="$1" '$1 == k { print $2 }' "$work/run.out" | tr -d '\r'; }

floor() {
    rm -rf "$drive/FLOOR"
    timed 'C:\file_calls_bench.exe' floor "C:\\SRC\\$1" 'C:\FLOOR'
    # The program's whole time but for reading the payload into memory, so
    # that its start counts as the others' does.
    if [ $rc = 0 ] && same "$1" "$drive/FLOOR"; then record "floor.$1" "$(elapsed "$(value load_s)" "$took")"; else
        fault "floor.$1" "exit $rc: $(tr -d '\r' <"$work/run.out")"; fi
}

CALLS="create_write_close set_file_time move_file get_file_attributes find_first_file"
LOGS="profile_write_0 profile_write_1000 profile_write_5000 journal_append"
calls() {
    rm -rf "$drive/CALLS"
    mkdir "$drive/CALLS"
    timed 'C:\file_calls_bench.exe' calls "C:\\SRC\\$1" 'C:\CALLS'
    [ $rc = 0 ] || { fault "calls.$1" "exit $rc: $(tr -d '\r' <"$work/run.out")"; return; }
    for k in $CALLS; do record "calls.$1.$k" "$(value "${k}_us")"; done
    rm -rf "$drive/CALLS"
}
log_calls() {
    mkdir -p "$drive/CALLS"
    timed 'C:\file_calls_bench.exe' log 'C:\CALLS'
    [ $rc = 0 ] || { fault "calls.log" "exit $rc: $(tr -d '\r' <"$work/run.out")"; return; }
    for k in $LOGS; do record "calls.$k" "$(value "${k}_us")"; done
    rm -rf "$drive/CALLS"
}

# A program that ends at once, and one that opens and closes one window: a
# first window makes Wine start its desktop process, a cost that NSIS /S,
# which opens none, never pays.
starts() {
    timed 'C:\file_calls_bench.exe' start
    if [ $rc = 0 ]; then record start.none "$took"; else fault start.none "exit $rc"; fi
    timed 'C:\file_calls_bench.exe' start window
    if [ $rc = 0 ]; then record start.window "$took"; else fault start.window "exit $rc"; fi
}

# --- the rounds -------------------------------------------------------------
warm
for r in $(seq 1 "$REPEAT"); do
    echo "round $r of $REPEAT" >&2
    for name in $PAYLOADS; do
        ours "$name"
        [ "$name" = mixed ] && one_file "$name"
        nsis "$name"
        plain_copy "$name"
        untar "$name"
        floor "$name"
        calls "$name"
    done
    log_calls
    starts
    rm -rf "$drive/OURS" "$drive/NSIS" "$drive/COPY" "$drive/FLOOR" "$work/untar"
done

# --- the figures ------------------------------------------------------------
# median KEY: the median of KEY's figures, empty when there are none.
# median_of FORMAT: the median of the numbers on the input, printed in
# FORMAT; nothing when there are none.
median_of() {
    sort -g | awk -v f="$1" '{ v[NR] = $1 }
        END { if (NR % 2) printf f, v[(NR + 1) / 2]; else if (NR) printf f, (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
median() {
    [ -f "$figures/$1" ] || return 0
    median_of "%.3f" <"$figures/$1"
}
runs() { [ -f "$figures/$1" ] && tr '\n' ' ' <"$figures/$1"; }
# paired A B: the median of each round's own ratio A/B, the two runs side
# by side in one round; "-" when a round lacks one of them.
paired() {
    [ -f "$figures/$1" ] && [ -f "$figures/$2" ] && [ "$(wc -l <"$figures/$1")" = "$(wc -l <"$figures/$2")" ] ||
        { echo -; return; }
    paste "$figures/$1" "$figures/$2" | awk '{ print $1 / $2 }' | median_of "%.2f"
}
# line KEY LABEL PAYLOAD: one contender's row.
line() {
    m=$(median "$1")
    eval "b=\$bytes_$3 f=\$files_$3"
    if [ -n "$m" ]; then
        printf '  %-30s %7.3f %7.1f %8.3f   %s\n' "$2" "$m" "$(awk -v n="$b" -v s="$m" 'BEGIN { print n / 1e6 / s }')" \
            "$(awk -v n="$f" -v s="$m" 'BEGIN { print s * 1e3 / n }')" "$(runs "$1")"
    else
        printf '  %-30s %7s\n' "$2" "-"
    fi
    [ -f "$figures/$1.fault" ] && printf '  %-30s %d of %d runs measured nothing: %s\n' "" \
        "$(wc -l <"$figures/$1.fault")" "$REPEAT" "$(head -n1 "$figures/$1.fault")"
    return 0
}
calls_line() {
    printf '  %-44s' "$1"
    shift
    for k in "$@"; do
        m=$(median "$k")
        if [ -n "$m" ]; then printf ' %8.1f' "$m"; else printf ' %8s' -; fi
    done
    echo
}

echo
echo "Median of $REPEAT rounds, side by side ($(date +%Y-%m-%d), $(nproc) cores; times in s, ratios of times)"
for name in $PAYLOADS; do
    eval "b=\$bytes_$name f=\$files_$name"
    echo
    echo "$name payload: $f files, $b bytes"
    printf '  %-30s %7s %7s %8s   %s\n' "" "time s" "MB/s" "ms/file" "each round"
    line "ours.$name" "our installer /Q" "$name"
    [ "$name" = small ] && line "ours.$name.over" "ours again, over itself" "$name"
    [ "$name" = mixed ] && line "file.$name" "ours from the one-file download" "$name"
    line "nsis.$name" "NSIS /S (zlib)" "$name"
    line "copy.$name" "plain copy (Wine xcopy)" "$name"
    line "tar.$name" "native tar -xzf" "$name"
    line "floor.$name" "floor: create, write, rename" "$name"
    o=$(median "ours.$name") n=$(median "nsis.$name") c=$(median "copy.$name") fl=$(median "floor.$name")
    [ "$name" = mixed ] && echo "  one file/disks $(ratio "$(median "file.$name")" "$o")   (must: at most 1.05)"
    eval "echo \"  sizes: \$sizes_$name\""
    echo "  ours/NSIS $(ratio "$o" "$n") (round by round $(paired "ours.$name" "nsis.$name"))   ours/plain copy $(ratio "$o" "$c")   ours/floor $(ratio "$o" "$fl")   (plain copy/NSIS $(ratio "$c" "$n"), floor/NSIS $(ratio "$fl" "$n"))"
    # What the installer promises against NSIS on each payload.
    if [ "$name" = mixed ]; then echo "  must: ours/NSIS at most 0.70; aim: 0.60"
    else echo "  must: ours/NSIS at most 1.00; aim: 0.90"; fi
    # Up to the first file placed, from there to the last, and after it.
    printf '  %-30s %11s %7s %9s\n' "phases seen from outside, s" "first file" "copy" "the rest"
    for who in ours nsis; do
        printf '    %-28s %11s %7s %9s\n' "$who" "$(median "$who.$name.first")" "$(median "$who.$name.copy")" "$(median "$who.$name.after")"
    done
done

echo
echo "Uninstalling the mixed payload"
printf '  %-30s %7s   %s\n' "" "time s" "each round"
for who in ours nsis; do
    label="our install.exe /U /Q"
    [ $who = nsis ] && label="NSIS uninst.exe /S _?=folder"
    m=$(median "$who.uninstall")
    printf '  %-30s %7s   %s\n' "$label" "${m:--}" "$(runs "$who.uninstall")"
    [ -f "$figures/$who.uninstall.fault" ] && printf '  %-30s %d of %d runs measured nothing: %s\n' "" \
        "$(wc -l <"$figures/$who.uninstall.fault")" "$REPEAT" "$(head -n1 "$figures/$who.uninstall.fault")"
done
echo "  ours/NSIS $(ratio "$(median ours.uninstall)" "$(median nsis.uninstall)") (round by round $(paired ours.uninstall nsis.uninstall))"

echo
echo "A program's start under Wine, to its end, s"
printf '  %-44s %7s   %s\n' "ending at once" "$(median start.none)" "$(runs start.none)"
printf '  %-44s %7s   %s\n' "opening one window (the desktop starts)" "$(median start.window)" "$(runs start.window)"

echo
echo "Where the time goes: microseconds per call (file_calls_bench)   mixed    small"
calls_line "CreateFile + WriteFile + CloseHandle" calls.mixed.create_write_close calls.small.create_write_close
calls_line "SetFileTime through the open handle" calls.mixed.set_file_time calls.small.set_file_time
calls_line "MoveFile (the rename from a temporary name)" calls.mixed.move_file calls.small.move_file
calls_line "GetFileAttributes" calls.mixed.get_file_attributes calls.small.get_file_attributes
calls_line "FindFirstFile + FindClose" calls.mixed.find_first_file calls.small.find_first_file
calls_line "WritePrivateProfileString, log of 0 records" calls.profile_write_0
calls_line "  of 1,000 records" calls.profile_write_1000
calls_line "  of 5,000 records" calls.profile_write_5000
calls_line "WriteFile appending a line to an open journal" calls.journal_append
for k in calls.mixed calls.small calls.log; do
    [ -f "$figures/$k.fault" ] && echo "  $k: $(wc -l <"$figures/$k.fault") of $REPEAT runs failed: $(head -n1 "$figures/$k.fault")"
done
exit 0
