# Helpers for end-to-end runs of install.exe in a copy of the pristine Wine
# prefix, driven by the UI robot. Sourced by the end-to-end tests and the
# unattended demo, which set E2E_ROOT to the project folder first; expects
# DISPLAY to be set.
# The scripts name pages, dialogs and controls by number (page 1549, button
# 1020); resources/resource.h gives each number its name (IDD_PAGE_REGISTERING,
# IDC_NEXT).
: "${E2E_ROOT:?set E2E_ROOT before sourcing e2e-lib.sh}"
E2E_BUILD="$E2E_ROOT/build/win64"
# The sample disks; E2E_INSTALLER_EXE names another installer for them (the
# 32-bit build's runs set both).
E2E_DISKS="${E2E_DISKS:-$E2E_ROOT/build/samples/disks}"
RUN="$E2E_ROOT/scripts/winerun.sh"

# e2e_sample_disks WORK: the sample disks in build/samples/disks, made or
# brought up to date; the builder's output goes to WORK/make.out and is shown
# when it fails.
e2e_sample_disks() {
    SAMPLE_INSTALLER="${E2E_INSTALLER_EXE:-}" SAMPLE_DISKS="$E2E_DISKS" \
        "$E2E_ROOT/samples/make-disks.sh" >"$1/make.out" 2>&1 || { cat "$1/make.out" >&2; fail "could not make the disks"; }
}

# The form of the distribution a story installs from: the disk folders
# (disks), or the one-file download beside them (download). The stories
# that hold for both run once per form; E2E_SETUP names the program that
# e2e_copy_disks put in place.
E2E_FORM="${E2E_FORM:-disks}"

# e2e_download: the path of the sample's download, beside its disks.
e2e_download() {
    find "$E2E_DISKS" -maxdepth 1 -name '*.exe' | head -n 1
}

# e2e_copy_disks [FOLDER]: the sample distribution in the scenario's prefix:
# the disks as C:\DIST\DISK01.., or the download in C:\DIST (or in FOLDER,
# a Windows path below C:\); E2E_SETUP is then the program to start.
e2e_copy_disks() {
    if [ "$E2E_FORM" = download ]; then
        folder="${1:-C:\DIST}"
        local_folder="$WINE_PREFIX_DIR/drive_c/$(printf '%s' "${folder#C:\\}" | tr '\\' /)"
        mkdir -p "$local_folder"
        download=$(e2e_download)
        [ -n "$download" ] || fail "no download beside the sample disks"
        cp "$download" "$local_folder/"
        E2E_SETUP="$folder\\$(basename "$download")"
    else
        mkdir -p "$WINE_PREFIX_DIR/drive_c/DIST"
        cp -r "$E2E_DISKS"/DISK* "$WINE_PREFIX_DIR/drive_c/DIST/"
        E2E_SETUP='C:\DIST\DISK01\install.exe'
    fi
}

# e2e_prefix NAME: a fresh copy of the pristine prefix for one scenario.
# E2E_DPI (e.g. 144) gives its screen that many pixels per inch.
e2e_prefix() {
    WINE_PREFIX_DIR= "$E2E_ROOT/scripts/wineprefix.sh"
    dir="$E2E_ROOT/build/e2e/$1"
    # The two forms of a story keep their machines apart.
    [ "$E2E_FORM" = download ] && dir="$dir-download"
    # A script keeps only its current machine (each is a 700 MB copy; the
    # snapshots beside it stay): the last one is left to look at.
    if [ -n "${E2E_LAST_PREFIX:-}" ] && [ "$E2E_LAST_PREFIX" != "$dir" ]; then
        e2e_stop_prefix "$E2E_LAST_PREFIX"
        chmod -R u+w "$E2E_LAST_PREFIX" 2>/dev/null
        rm -rf "$E2E_LAST_PREFIX"
    fi
    E2E_LAST_PREFIX="$dir"
    e2e_stop_prefix "$dir"
    # A story may have left a folder read-only.
    chmod -R u+w "$dir" 2>/dev/null
    rm -rf "$dir"
    mkdir -p "$(dirname "$dir")"
    cp -a --reflink=auto "$E2E_ROOT/build/wineprefix-pristine" "$dir"
    # The file "wineserver" names the folder where Wine keeps the prefix's
    # server, which it tells apart there by the prefix folder's inode; a
    # machine made right after another was removed may get that inode
    # again. Without the file, each machine gets a folder of its own.
    rm -f "$dir/wineserver"
    export WINE_PREFIX_DIR="$dir" WINEPREFIX="$dir"
    INSTALLER=""
    if [ -n "$E2E_DPI" ]; then
        # Where Windows keeps it; Wine reads it when a program starts.
        "$RUN" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$E2E_DPI" /f \
            >/dev/null 2>&1 || fail "could not set $E2E_DPI DPI"
        e2e_stop_prefix "$dir"
    fi
}

e2e_stop_prefix() {
    [ -d "$1" ] || return 0
    WINEPREFIX="$1" wineserver -k >/dev/null 2>&1
    WINEPREFIX="$1" wineserver -w >/dev/null 2>&1
    return 0
}

# e2e_dist [FILES...]: a distribution folder C:\DIST\ in the scenario's
# prefix with install.exe, the sample licence and any further files.
e2e_dist() {
    DIST="$WINE_PREFIX_DIR/drive_c/DIST"
    mkdir -p "$DIST"
    cp "$E2E_BUILD/install.exe" "$E2E_ROOT/samples/licencia.txt" "$DIST/"
    [ $# -gt 0 ] && cp -r "$@" "$DIST/"
    INSTALLER='C:\DIST\install.exe'
}

# e2e_editors EDITOR...: stand-ins of word processors in the scenario's
# prefix, each a program file and the registry values its set-up writes:
#   wp6     WordPerfect 6.1, C:\WPWIN61
#   wp8     WordPerfect 8.0, C:\Corel\Suite8 (its server also under the 6.0
#           key, as version 8 registers itself)
#   word97  Word 97 in C:\Office97\Office, with Office's install root
e2e_editors() {
    drive="$WINE_PREFIX_DIR/drive_c"
    reg="$drive/e2e-editors.reg"
    printf 'REGEDIT4\r\n' >"$reg"
    for editor in "$@"; do
        case "$editor" in
        wp6)
            mkdir -p "$drive/WPWIN61" && printf 'MZ' >"$drive/WPWIN61/wpwin.exe"
            printf '%s\r\n' '' '[HKEY_LOCAL_MACHINE\SOFTWARE\Classes\WPWin6.1\protocol\StdFileEditing\server]' \
                '@="C:\\WPWIN61\\wpwin.exe"' >>"$reg" ;;
        wp8)
            mkdir -p "$drive/Corel/Suite8/Programs" && printf 'MZ' >"$drive/Corel/Suite8/Programs/wpwin8.exe"
            printf '%s\r\n' '' '[HKEY_LOCAL_MACHINE\SOFTWARE\Classes\WP8Doc\protocol\StdFileEditing\server]' \
                '@="C:\\Corel\\Suite8\\Programs\\wpwin8.exe"' '' \
                '[HKEY_LOCAL_MACHINE\SOFTWARE\Classes\WPWin6.0\protocol\StdFileEditing\server]' \
                '@="c:\\corel\\suite8\\programs\\WPWIN8.EXE"' >>"$reg" ;;
        word97)
            # Word 97 keeps its folder between quotes.
            mkdir -p "$drive/Office97/Office/Startup" && printf 'MZ' >"$drive/Office97/Office/winword.exe"
            printf '%s\r\n' '' '[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Office\8.0\Word\InstallRoot]' \
                '"Path"="\"C:\\Office97\\Office\""' '' \
                '[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Office\8.0\InstallRoot]' \
                '@="C:\\Office97\\Office"' >>"$reg" ;;
        *) echo "e2e_editors: no stand-in for $editor" >&2; return 1 ;;
        esac
    done
    # They are 32-bit programs: their keys are in the 32-bit view.
    "$RUN" reg import 'C:\e2e-editors.reg' /reg:32 >/dev/null 2>&1
}

# e2e_start ARGS...: starts the installer (C:\DIST\install.exe after
# e2e_dist, else the build's) in the background; sets INSTALL_PID.
# The machine's server is started first, and is ready when the call
# returns: Debian's Wine keeps a server in a folder of its own, named in
# the prefix's file "wineserver", and the robot, started right after the
# installer, could read that name before the server behind it was there
# ("wine: chdir to /tmp/wine-.../server-...: No such file or directory",
# status 1) or start a second server that the installer never saw. An
# already running one makes this call end with status 2, harmlessly.
e2e_start() {
    WINEPREFIX="$WINE_PREFIX_DIR" wineserver >/dev/null 2>&1
    "$RUN" "${INSTALLER:-$E2E_BUILD/install.exe}" "$@" >"$WINE_PREFIX_DIR/install.out" 2>&1 &
    INSTALL_PID=$!
}

# e2e_pages_to_copy NAME: through the pages of a fresh installation with
# their defaults (the start-up warning accepted, a user's name typed) up to
# the copy; NAME goes into the failure messages.
e2e_pages_to_copy() {
    robot click "Instal*" 1 60 || fail "$1: no start-up warning"
    robot click "Termes*" 1020 60 || fail "$1: no licence page"
    robot click "Seleccionar*" 1020 60 || fail "$1: no folder page"
    robot click "Ortavel Catal*" 1020 60 || fail "$1: no editor page"
    robot click "Seleccionar el nom*" 1020 60 || fail "$1: no group page"
    robot settext "Dades*" 1030 "Joana Puig" 60 || fail "$1: no user-data page"
    robot click "Dades*" 1020 10 || fail "$1: no Seguent on the user-data page"
}

# e2e_uninstall_pages NAME: through an uninstallation by hand up to its
# final page: confirmed, the dictionaries not saved ("Continuar").
e2e_uninstall_pages() {
    robot click "Desinstal*" 1020 30 || fail "$1: no confirmation page"
    robot enabled "Desinstal*" 3 30 || fail "$1: no backup dialog"
    robot click "Desinstal*" 3 || fail "$1: could not press Continuar"
    e2e_says "Ortavel 4.0 Catal*" 1037 "s'ha desinstal" 120 || fail "$1: no final page"
}

# e2e_restart: Windows restarts in the scenario's prefix: every process
# ends, and the operations left for the next start are carried out.
e2e_restart() {
    # Not within the second or so an uninstallation's second stage takes.
    e2e_second_stage 30 || echo "a second uninstall stage is still running" >&2
    e2e_stop_prefix "$WINE_PREFIX_DIR"
    "$RUN" wineboot -r >/dev/null 2>&1
    e2e_stop_prefix "$WINE_PREFIX_DIR"
}

# e2e_snapshot NAME: the scenario's machine, file by file and value by value,
# kept as NAME (the prefix's server is stopped first).
e2e_snapshot() {
    e2e_stop_prefix "$WINE_PREFIX_DIR"
    python3 "$E2E_ROOT/tests/e2e/machine_state.py" snapshot "$WINE_PREFIX_DIR" "$WINE_PREFIX_DIR.$1.json"
}

# What an uninstallation leaves on purpose, as e2e_same_as globs: the
# product's company keys.
E2E_STAYS="hkcu\\software\\bramo\\ hklm\\software\\wow6432node\\bramo\\"

# e2e_second_stage SECONDS: waits for a second uninstall stage to end: the
# copy it runs from, in the temporary folder, goes when it does.
e2e_second_stage() {
    i=0
    while find "$WINE_PREFIX_DIR/drive_c/users" -path '*/Temp/*' -name '????????.exe' 2>/dev/null | grep -q .; do
        i=$((i + 1))
        [ $i -le $(($1 * 10)) ] || return 1
        sleep 0.1
    done
}

# e2e_same_as NAME [GLOB...]: the machine is as snapshot NAME found it, but
# for the install log (which keeps its events) and the GLOBs given; prints
# what differs.
e2e_same_as() {
    name=$1
    shift
    e2e_second_stage 30 || echo "a second uninstall stage is still running" >&2
    e2e_stop_prefix "$WINE_PREFIX_DIR"
    allow="--allow windows/ovca40.log"
    for glob in "$@"; do allow="$allow --allow $glob"; done
    python3 "$E2E_ROOT/tests/e2e/machine_state.py" compare "$WINE_PREFIX_DIR" "$WINE_PREFIX_DIR.$name.json" $allow
}

# e2e_work_with_holder: WORK, a scratch folder that goes when the script
# ends, and a holder (e2e_hold) that a failed check left is told to go then,
# so that nothing outlives the test.
e2e_work_with_holder() {
    work=$(mktemp -d)
    HOLD_PID=
    trap '[ -n "$HOLD_PID" ] && [ -n "$WINE_PREFIX_DIR" ] && touch "$WINE_PREFIX_DIR/drive_c/hold.go"; rm -rf "$work"' EXIT
}

# e2e_hold FILE NAME: a program of the scenario's prefix holds FILE open
# (shared with nobody, as a running word processor holds its library) until
# C:\hold.go appears or the prefix's processes are ended; sets HOLD_PID.
e2e_hold() {
    rm -f "$WINE_PREFIX_DIR/drive_c/hold.ready" "$WINE_PREFIX_DIR/drive_c/hold.go"
    "$RUN" "$E2E_BUILD/holdfile.exe" "$1" 'C:\hold.ready' 'C:\hold.go' 600 \
        >"$WINE_PREFIX_DIR/hold.out" 2>&1 &
    HOLD_PID=$!
    i=0
    while [ ! -f "$WINE_PREFIX_DIR/drive_c/hold.ready" ]; do
        kill -0 "$HOLD_PID" 2>/dev/null || { cat "$WINE_PREFIX_DIR/hold.out" >&2; fail "$2: holdfile ended early"; }
        i=$((i + 1))
        [ $i -le 600 ] || fail "$2: holdfile did not take the file"
        sleep 0.1
    done
}

# e2e_kill_when KIND COUNT SECONDS: as soon as the running installer's
# journal holds COUNT records of KIND (P a file placed, X a record handled
# by the uninstaller), every process of the prefix is ended, as a power loss
# would end them; prints how many there were then.
e2e_kill_when() {
    python3 - "$WINE_PREFIX_DIR" "$1" "$2" "$3" <<'PY'
import os, subprocess, sys, time
prefix, kind, count, seconds = sys.argv[1], sys.argv[2].encode(), int(sys.argv[3]), float(sys.argv[4])
journal = os.path.join(prefix, "drive_c", "windows", "ovca40.jnl")
end = time.time() + seconds
while time.time() < end:
    try:
        with open(journal, "rb") as f:
            n = sum(1 for line in f if line.startswith(kind + b"|"))
    except OSError:
        n = 0
    if n >= count:
        subprocess.run(["wineserver", "-k"], env=dict(os.environ, WINEPREFIX=prefix))
        print(n)
        sys.exit(0)
    time.sleep(0.002)
sys.exit(1)
PY
}

# e2e_exit_is CODE SECONDS: waits for install.exe to end with that exit code
# (0 done, 1602 cancelled, 1603 failed, 3010 restart needed). A Unix exit
# status keeps only the low 8 bits of a Windows one.
e2e_exit_is() {
    e2e_wait_exit "$2"
    got=$?
    [ "$got" = $(($1 % 256)) ] && return 0
    echo "install.exe ended with status $got where $1 ($(($1 % 256))) was expected" >&2
    # What Wine or the program said, for a status that is none of ours.
    [ -s "$WINE_PREFIX_DIR/install.out" ] && head -n 20 "$WINE_PREFIX_DIR/install.out" >&2
    return 1
}

# e2e_wait_exit SECONDS: waits for install.exe to end; its exit code.
e2e_wait_exit() {
    i=0
    while kill -0 "$INSTALL_PID" 2>/dev/null; do
        i=$((i + 1))
        if [ $i -gt $(($1 * 10)) ]; then
            echo "install.exe did not end within $1 s" >&2
            return 124
        fi
        sleep 0.1
    done
    wait "$INSTALL_PID"
}

robot() {
    robot_said=$(mktemp)
    "$RUN" "$E2E_BUILD/uirobot.exe" "$@" 2>"$robot_said"
    robot_status=$?
    # The robot answers 0 to 4 and says why whenever it answers no; any
    # other status, or a no without a word, is Wine failing to run it,
    # which a story must not take for the installer's answer: said, and
    # asked once more.
    if [ $robot_status -gt 4 ] || { [ $robot_status -ne 0 ] && [ ! -s "$robot_said" ]; }; then
        echo "robot $1 \"$2\": Wine ended it with $robot_status; asking again" >&2
        cat "$robot_said" >&2
        "$RUN" "$E2E_BUILD/uirobot.exe" "$@" 2>"$robot_said"
        robot_status=$?
    fi
    cat "$robot_said" >&2
    rm -f "$robot_said"
    return $robot_status
}

# e2e_says CAPTION ID PATTERN SECONDS: waits until control ID of a window
# with that caption shows a text matching PATTERN. Several windows of a run
# share a caption, so a page that is on its way may not be the one found
# first: the text is asked for again until it matches.
e2e_says() {
    end=$(($(date +%s) + $4))
    while :; do
        robot text "$1" "$2" 5 2>/dev/null | grep -q "$3" && return 0
        [ "$(date +%s)" -ge "$end" ] && return 1
        sleep 0.5
    done
}

# e2e_shot CAPTION FILE: a PNG of the window with that caption.
e2e_shot() {
    set -- "$1" "$2" $(robot rect "$1" 10)
    [ $# -eq 6 ] || return 1
    mkdir -p "$(dirname "$2")"
    import -display "$DISPLAY" -window root -crop "${5}x${6}+${3}+${4}" +repage "$2"
}

# e2e_events: the Events lines of the install log in the scenario's prefix.
e2e_events() {
    log="$WINE_PREFIX_DIR/drive_c/windows/ovca40.log"
    [ -f "$log" ] && sed -n '/^\[Events\]/,/^\[/p' "$log" | grep -a '=' || true
}

fail() {
    echo "FAIL: $*" >&2
    # What the installer said and which of Wine's programs ran: for a failure
    # that a rerun doesn't show.
    if [ -n "${WINE_PREFIX_DIR:-}" ] && [ -s "$WINE_PREFIX_DIR/install.out" ]; then
        echo "--- the installer's output, last lines:" >&2
        tail -n 20 "$WINE_PREFIX_DIR/install.out" >&2
    fi
    echo "--- Wine's programs running:" >&2
    ps -eo pid,etimes,stat,args | grep -i '[.]exe\|[w]ineserver' | cut -c1-160 >&2
    if [ -n "${WINE_PREFIX_DIR:-}" ] && [ -n "${DISPLAY:-}" ]; then
        echo "--- the machine's windows:" >&2
        timeout 20 "$RUN" "$E2E_BUILD/uirobot.exe" captions >&2 2>/dev/null
    fi
    exit 1
}
