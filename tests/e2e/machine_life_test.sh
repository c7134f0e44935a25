#!/bin/sh
# A machine's life, each story in a fresh prefix and checked against the
# machine as it was before its first step, file by file and value by value:
#   reinstall   a user's own LLEGIU.TXT in C:\OVCA40 and another program's
#               uninsta.exe in the Windows folder; install, add a word to
#               the user's dictionary, lose this user's product record (as
#               when another administrator installs), install again with
#               another word processor found: the word is kept and the same
#               folder used; uninstall: nothing of ours is left, the user's
#               LLEGIU.TXT is back and the other uninsta.exe untouched
#   killed      an installation killed half-way (every process of the
#               prefix ended, as by a power loss), installed again,
#               uninstalled: nothing is left
#   shared      shared files that were there before (one counted by another
#               product, one not) and a Windows-folder file that was there:
#               install, uninstall stopped half-way (at its last file, held
#               open by another program), uninstall again; they are all
#               still there, each count released once
# What may stay: the log, the product's company key and the WordPerfect 6.x
# entries (a word processor's settings file that is kept on purpose).
E2E_ROOT=$(cd "$(dirname "$0")/../.." && pwd)
. "$E2E_ROOT/scripts/e2e-lib.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
e2e_sample_disks "$work"

STAYS=$E2E_STAYS
HKLM_SHARED='HKLM\Software\Microsoft\Windows\CurrentVersion\SharedDLLs'

# machine NAME EDITORS...: a fresh prefix with the disks and those word
# processors, snapshot "before" taken.
machine() {
    name=$1
    shift
    e2e_prefix "life-$name"
    e2e_copy_disks
    [ $# -eq 0 ] || e2e_editors "$@" || fail "$name: no stand-in editors"
    INSTALLER='C:\DIST\DISK01\install.exe'
    e2e_snapshot before
}

# quiet_install NAME: an unattended installation that succeeds.
quiet_install() {
    INSTALLER='C:\DIST\DISK01\install.exe'
    e2e_start /Q
    e2e_exit_is 0 600 || fail "$1: the quiet installation did not succeed"
}

# uninstall NAME: the uninstaller, the user's dictionaries not saved.
uninstall() {
    INSTALLER='C:\OVCA40\install.exe'
    e2e_start /U /B
    robot click "Desinstal*" 3 60 || fail "$1: no dictionary backup dialog"
    e2e_exit_is 0 120 || fail "$1: the uninstallation did not succeed"
    e2e_second_stage 30 || fail "$1: the second stage did not end"
}

# count NAME: the shared count of a file of the 32-bit System folder, or "none".
count() {
    "$RUN" reg query "$HKLM_SHARED" /v "C:\\windows\\syswow64\\$1" /reg:32 2>/dev/null | tr -d '\r' |
        awk '/REG_DWORD/ { printf "%d\n", $3; found = 1 } END { if (!found) print "none" }'
}

no_temporaries() {
    temps=$(find "$WINE_PREFIX_DIR/drive_c/OVCA40" "$WINE_PREFIX_DIR/drive_c/windows" -maxdepth 2 -type f 2>/dev/null |
            grep -E '/[0-9a-f]{8}\.[^/]*$' || true)
    [ -z "$temps" ] || fail "$1: temporary files left: $temps"
}

# --- reinstall ---------------------------------------------------------------
machine reinstall wp8 word97
drive="$WINE_PREFIX_DIR/drive_c"
mkdir -p "$drive/OVCA40"
printf 'les meves notes\r\n' >"$drive/OVCA40/LLEGIU.TXT"
printf 'theirs' >"$drive/windows/uninsta.exe"
e2e_snapshot before
quiet_install reinstall-first
printf 'paraulota\r\n' >>"$drive/OVCA40/ovusuca4.dbc"
"$RUN" reg delete 'HKCU\Software\Bramo\OVCA40DEMO' /f >/dev/null 2>&1 || fail "reinstall: no user record to lose"
e2e_editors wp6 || fail "reinstall: no WordPerfect 6.1 stand-in"
quiet_install reinstall-second
grep -q 'paraulota' "$drive/OVCA40/ovusuca4.dbc" || fail "reinstall: the user's words were lost"
grep -q 'Ortavel40CA' "$WINE_PREFIX_DIR/drive_c/windows/wtapi.ini" || fail "reinstall: WordPerfect 6.1 was not set up"
e2e_stop_prefix "$WINE_PREFIX_DIR"
[ "$(count ovctl32.dll)" = 1 ] || fail "reinstall: ovctl32.dll counted $(count ovctl32.dll) times after two installations"
uninstall reinstall
e2e_same_as before $STAYS 'WPWIN61*' e2e-editors.reg windows/wtapi.ini || fail "reinstall: the machine is not as it was"

# --- killed ------------------------------------------------------------------
machine killed wp8 word97
# Batch mode, which shows its pages (sized to nothing): a quiet run, with no
# window to make or update, can be over before the watcher sees it half-way.
INSTALLER='C:\DIST\DISK01\install.exe'
e2e_start /B
placed=$(e2e_kill_when P 20 300) || fail "killed: the installation never got half-way"
echo "killed: the run was killed with $placed files placed"
wait "$INSTALL_PID" 2>/dev/null
[ -f "$WINE_PREFIX_DIR/drive_c/windows/ovca40.jnl" ] || fail "killed: the run left no journal"
quiet_install killed-again
[ -f "$WINE_PREFIX_DIR/drive_c/windows/ovca40.jnl" ] && fail "killed: a journal was left after the second run"
no_temporaries killed
uninstall killed
e2e_same_as before $STAYS || fail "killed: the machine is not as it was"

# --- shared ------------------------------------------------------------------
machine shared
drive="$WINE_PREFIX_DIR/drive_c"
printf 'theirs' >"$drive/windows/syswow64/ovctl32.dll"
printf 'theirs' >"$drive/windows/syswow64/uninsta.exe"
printf 'theirs' >"$drive/windows/ovcamsg.dll"
"$RUN" reg add "$HKLM_SHARED" /v 'C:\windows\syswow64\ovctl32.dll' /t REG_DWORD /d 3 /f /reg:32 >/dev/null 2>&1 ||
    fail "shared: could not count ovctl32.dll"
e2e_snapshot before
quiet_install shared
e2e_stop_prefix "$WINE_PREFIX_DIR"
[ "$(count ovctl32.dll)" = 4 ] || fail "shared: ovctl32.dll counted $(count ovctl32.dll), not 3 + 1"
[ "$(count uninsta.exe)" = 2 ] || fail "shared: uninsta.exe, there without a count, counted $(count uninsta.exe), not 1 + 1"
# The readme's record is the last of the log: while the uninstaller waits for
# the holder to let go of it, every other record has been handled.
records=$(tr -d '\r' <"$drive/windows/ovca40.log" |
          awk '/^\[/ { files = $0 !~ /^\[(destinations|groups|targets|Events)\]$/ } files && /=/' | wc -l)
e2e_hold 'C:\OVCA40\LLEGIU.TXT' shared
INSTALLER='C:\OVCA40\install.exe'
e2e_start /U /B
e2e_kill_when X $((records - 1)) 120 >"$WINE_PREFIX_DIR.handled" &
watcher=$!
robot click "Desinstal*" 3 60 || fail "shared: no dictionary backup dialog"
wait "$watcher" || fail "shared: the uninstallation never reached its last file"
handled=$(cat "$WINE_PREFIX_DIR.handled")
rm -f "$WINE_PREFIX_DIR.handled"
echo "shared: the uninstallation was stopped after $handled records"
wait "$INSTALL_PID" 2>/dev/null
rm -f "$drive/hold.ready"  # the holder was ended with the rest
uninstall shared-again
e2e_stop_prefix "$WINE_PREFIX_DIR"
[ "$(count ovctl32.dll)" = 3 ] || fail "shared: ovctl32.dll's count is $(count ovctl32.dll), not 3 again"
[ "$(count uninsta.exe)" = 1 ] || fail "shared: uninsta.exe's count is $(count uninsta.exe), not 1"
for f in windows/syswow64/ovctl32.dll windows/syswow64/uninsta.exe windows/ovcamsg.dll; do
    [ -f "$drive/$f" ] || fail "shared: $f, there before the product, was deleted"
done
# The files stay as the installation left them: ours replaced theirs.
e2e_same_as before $STAYS windows/syswow64/ovctl32.dll windows/syswow64/uninsta.exe \
    windows/ovcamsg.dll 'hklm\software\wow6432node\microsoft\windows\currentversion\shareddlls\*' ||
    fail "shared: the machine is not as it was"
e2e_stop_prefix "$WINE_PREFIX_DIR"
echo "machine life end-to-end: passed"
