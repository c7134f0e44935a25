#!/bin/sh
# An older copy of the main program that can't be deleted because it is in
# use: the installation leaves it alone, puts the new file beside it under a
# temporary name, has Windows swap them at its next start, records the file
# as existing before and not placed, and offers a restart. In batch mode the
# restart page goes on by itself and the run ends without restarting; run by
# hand, the user reaches the restart page and declines.
# Uninstalled before Windows restarts, that installation leaves nothing: the
# replacement waiting for the restart is withdrawn and the older file, which
# was not this product's, is there as it was after the restart.
# Uninstalling while a library of the product is held the same way: the
# rest goes, the library goes at the next start, and the last page and the
# exit code say that a restart is needed; installed again before the
# restart, the library is still there after it.
E2E_ROOT=$(cd "$(dirname "$0")/../.." && pwd)
. "$E2E_ROOT/scripts/e2e-lib.sh"
shots="${SCREENS_DIR:-$E2E_ROOT/build/screenshots}"
disks="$E2E_ROOT/build/samples/disks"
files="$E2E_ROOT/build/samples/files"
e2e_work_with_holder

e2e_sample_disks "$work"
new=$(find "$files" -type f -iname ovca40.exe | head -n1)
[ -n "$new" ] || fail "no source for ovca40.exe"
printf 'MZ an older ovca40.exe, still running\r\n' >"$work/old.exe"

# prepare NAME: a fresh prefix with the distribution in C:\DIST, an older
# C:\OVCA40\ovca40.exe and a program holding it open.
prepare() {
    e2e_prefix "locked-file-$1"
    mkdir -p "$WINE_PREFIX_DIR/drive_c/OVCA40"
    e2e_copy_disks
    cp "$work/old.exe" "$WINE_PREFIX_DIR/drive_c/OVCA40/ovca40.exe"
    e2e_snapshot before
    e2e_hold 'C:\OVCA40\ovca40.exe' "$1"
    INSTALLER=$E2E_SETUP
}

# release NAME: the holder is still there (nothing restarted the system)
# and lets go of the file when told.
release() {
    kill -0 "$HOLD_PID" 2>/dev/null || fail "$1: the program holding ovca40.exe was ended"
    touch "$WINE_PREFIX_DIR/drive_c/hold.go"
    wait "$HOLD_PID"
    rc=$?
    HOLD_PID=
    [ $rc -eq 0 ] || fail "$1: holdfile ended with $rc"
}

# check NAME: what the run left behind.
check() {
    target="$WINE_PREFIX_DIR/drive_c/OVCA40"
    log="$WINE_PREFIX_DIR/drive_c/windows/ovca40.log"
    [ -f "$log" ] || fail "$1: no install log"
    tr -d '\r' <"$log" | sed -n '/^\[Programa\]/,/^\[/p' >"$work/programa"
    # Not this product's: a copy of it is kept beside, for the uninstaller.
    record=$(grep -i '^ovca40.exe=' "$work/programa")
    backup=${record#ovca40.exe=0|0|1|0|}
    case "$backup" in
    [0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f].exe) ;;
    *) fail "$1: the record of ovca40.exe is '$record', not 0|0|1|0 with a kept copy" ;;
    esac
    cmp -s "$work/old.exe" "$target/$backup" || fail "$1: the kept copy $backup is not the older ovca40.exe"
    grep -qx 'ovgram32.dll=0|1|0|0' "$work/programa" || fail "$1: the next members were not placed as usual"
    cmp -s "$work/old.exe" "$target/ovca40.exe" || fail "$1: the older ovca40.exe was changed"

    temps=$(find "$target" -type f | grep -E '/[0-9a-f]{8}\.[^/]*$' | grep -v "/$backup\$" || true)
    [ "$(printf '%s\n' "$temps" | grep -c .)" -eq 1 ] || fail "$1: not exactly one temporary file: $temps"
    temp=$(basename "$temps")
    [ "$(dirname "$temps")" = "$target" ] || fail "$1: the temporary file $temps is not beside ovca40.exe"
    case "$temp" in *.exe) ;; *) fail "$1: the temporary file $temp lacks the .exe extension" ;; esac
    cmp -s "$new" "$temps" || fail "$1: the temporary file $temp does not hold the new ovca40.exe"

    pending=$("$RUN" reg query 'HKLM\System\CurrentControlSet\Control\Session Manager' \
              /v PendingFileRenameOperations 2>/dev/null | tr -d '\r' | grep PendingFileRenameOperations)
    wininit="$WINE_PREFIX_DIR/drive_c/windows/wininit.ini"
    if [ -n "$pending" ]; then
        # Pairs of source and target; "!" asks for the target to be replaced.
        printf '%s\n' "$pending" | grep -qiF "\\??\\C:\\OVCA40\\$temp\\0!\\??\\C:\\OVCA40\\ovca40.exe" ||
            fail "$1: the pending rename is not $temp over ovca40.exe: $pending"
        echo "$1: boot-time rename recorded in PendingFileRenameOperations"
    elif [ -f "$wininit" ]; then
        tr -d '\r' <"$wininit" | sed -n '/^\[rename\]/,/^\[/p' | grep -qix "C:\\\\OVCA40\\\\ovca40.exe=C:\\\\OVCA40\\\\$temp" ||
            fail "$1: wininit.ini does not rename $temp to ovca40.exe"
        echo "$1: boot-time rename recorded in wininit.ini"
    else
        fail "$1: no boot-time rename recorded"
    fi
}

# Quiet mode: nothing is answered; the restart page doesn't restart, and
# the exit code says that a restart is needed.
prepare batch
e2e_start /Q
e2e_exit_is 3010 600 || fail "batch: the installation did not end asking for a restart"
robot wait "Errada" 0 2>/dev/null && fail "batch: an error was shown"
check batch
release batch
INSTALLER='C:\OVCA40\install.exe'
e2e_start /U /Q
e2e_exit_is 0 300 || fail "batch: the uninstallation before the restart did not succeed"
e2e_restart
e2e_same_as before $E2E_STAYS OVCA40/ovusuca4.dbc OVCA40/ovsalca4.dbc 'hold.*' ||
    fail "batch: uninstalled before the restart, the installation left something"

# wait_control CAPTION ID SECONDS: until a window of that caption has control
# ID (pages of one prefix share their captions).
wait_control() {
    i=0
    while ! robot enabled "$1" "$2" 1 2>/dev/null; do
        i=$((i + 1))
        [ $i -le $(($3 * 2)) ] || return 1
        sleep 0.5
    done
}

# By hand, as a user would: every page answered, the restart declined.
prepare pages
e2e_start
e2e_pages_to_copy pages
wait_control "Ortavel 4.0 Catal*" 1036 600 || fail "pages: no restart page"
e2e_says "Ortavel 4.0 Catal*" 1035 "Restart" 10 || fail "pages: the restart page has no Restart button"
e2e_shot "Ortavel 4.0 Catal*" "$shots/page-1558-restart.png" || fail "pages: no screenshot of the restart page"
robot click "Ortavel 4.0 Catal*" 1036 || fail "pages: could not press Don't Restart"
e2e_exit_is 3010 60 || fail "pages: the run did not end asking for a restart after Don't Restart"
robot wait "Errada" 0 2>/dev/null && fail "pages: an error was shown"
check pages
release pages
e2e_stop_prefix "$WINE_PREFIX_DIR"

# An uninstallation by hand while ovgram32.dll is held.
e2e_prefix locked-file-uninstall
e2e_copy_disks
INSTALLER=$E2E_SETUP
e2e_start /Q
e2e_exit_is 0 300 || fail "uninstall: the installation did not end cleanly"
e2e_hold 'C:\OVCA40\ovgram32.dll' uninstall
INSTALLER='C:\OVCA40\install.exe'
e2e_start /U
e2e_uninstall_pages uninstall
robot shown "Ortavel 4.0 Catal*" 1043 10 || fail "uninstall: the final page does not speak of the restart"
e2e_shot "Ortavel 4.0 Catal*" "$shots/page-1547-restart.png" || fail "uninstall: no screenshot of the final page"
robot click "Ortavel 4.0 Catal*" 1020 || fail "uninstall: no Seguent on the final page"
e2e_exit_is 3010 60 || fail "uninstall: the run did not end asking for a restart"
target="$WINE_PREFIX_DIR/drive_c/OVCA40"
[ -f "$target/ovgram32.dll" ] || fail "uninstall: the library in use is gone before the restart"
[ -f "$target/ovintf32.dll" ] && fail "uninstall: a library not in use stayed"
"$RUN" reg query 'HKLM\System\CurrentControlSet\Control\Session Manager' /v PendingFileRenameOperations 2>/dev/null |
    grep -qiF '\??\C:\OVCA40\ovgram32.dll' || fail "uninstall: ovgram32.dll is not deleted at the restart"
release uninstall
INSTALLER=$E2E_SETUP
e2e_start /Q
e2e_exit_is 0 300 || fail "uninstall: the installation before the restart did not succeed"
e2e_restart
[ -f "$target/ovgram32.dll" ] || fail "uninstall: the restart deleted the library installed again"
tr -d '\r' <"$WINE_PREFIX_DIR/drive_c/windows/ovca40.log" | grep -qix 'ovgram32.dll=0|1|1|0' ||
    fail "uninstall: the library installed again is not recorded as ours"
e2e_stop_prefix "$WINE_PREFIX_DIR"
echo "locked file end-to-end: passed"
