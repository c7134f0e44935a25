#!/bin/sh
# Word processors found on the machine: a prefix with WordPerfect 8.0 (whose
# server is also registered under the WordPerfect 6.0 key, as version 8 does)
# and Word 97. No "no editor" box comes at start-up, the editor page ticks
# exactly those two, and an unattended run installs their files and no
# other editor's, takes a WordPerfect extension slot, puts the Word 97
# template into Word's startup folder and drops the stand-alone checker
# program (neither editor calls it). The uninstaller frees the slot and
# takes the template away again.
E2E_ROOT=$(cd "$(dirname "$0")/../.." && pwd)
. "$E2E_ROOT/scripts/e2e-lib.sh"
shots="${SCREENS_DIR:-$E2E_ROOT/build/screenshots}"
disks="$E2E_ROOT/build/samples/disks"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

e2e_sample_disks "$work"

# machine NAME: a fresh prefix with the two editors and the disks in C:\DIST.
machine() {
    e2e_prefix "editors-$1"
    e2e_editors wp8 word97 || fail "$1: could not set up the editors"
    # Another product's library in the first WordPerfect 8.0 extension slot.
    "$RUN" reg add 'HKLM\SOFTWARE\Corel\WordPerfect\8\Third Party' /v DLL1 \
        /d 'C:\Corel\Suite8\Programs\grammatik.dll' /f /reg:32 >/dev/null 2>&1 || fail "$1: could not take slot 1"
    drive="$WINE_PREFIX_DIR/drive_c"
    mkdir -p "$drive/DIST"
    cp -r "$disks"/DISK* "$drive/DIST/"
    INSTALLER='C:\DIST\DISK01\install.exe'
}

# a. Through the pages: the licence comes first, the editor page lists the two.
machine pages
e2e_start
robot wait "Termes*" 60 || fail "pages: no licence page"
robot wait "Instal*" 0 2>/dev/null && fail "pages: the no-editor box came"
robot click "Termes*" 1020 || fail "pages: no Seguent on the licence page"
robot click "Seleccionar*" 1020 30 || fail "pages: no Seguent on the folder page"
robot wait "Ortavel Catal*" 30 || fail "pages: no editor page"
listed=$(robot items "Ortavel Catal*" 1018 | tr -d '\r' | tr '\n' '|')
[ "$listed" = "Word 97|WordPerfect 8.0|" ] || fail "pages: the editor page lists '$listed'"
e2e_shot "Ortavel Catal*" "$shots/page-127-found.png" || fail "pages: no screenshot of the editor page"
e2e_stop_prefix "$WINE_PREFIX_DIR"

# b. Unattended: no box to answer; the found editors' files are installed.
machine batch
e2e_start /B
e2e_exit_is 0 600 || fail "batch: the installation did not end by itself"
robot wait "Errada" 0 2>/dev/null && fail "batch: an error was shown"
target="$WINE_PREFIX_DIR/drive_c/OVCA40"
[ -f "$target/Config/ovca4097.dot" ] || fail "batch: the Word 97 template was not installed"
[ -f "$target/Wp8/WpDll4ca.dll" ] || fail "batch: the WordPerfect 8.0 library was not installed"
for f in ovca4000.dot ovca40us.dot ovwp6ca.wcm ovca40.wcm ovca40.smm; do
    [ -e "$target/Config/$f" ] && fail "batch: $f of an editor that isn't there was installed"
done
# The editors' keys and the product record are in the 32-bit view.
query() { "$RUN" reg query "$1" /v "$2" /reg:32 2>/dev/null | tr -d '\r'; }
THIRD='HKLM\SOFTWARE\Corel\WordPerfect\8\Third Party'
query "$THIRD" DLL2 | grep -qF 'C:\OVCA40\Wp8\WpDll4ca.dll' || fail "batch: no WordPerfect 8.0 extension slot"
query 'HKCU\SOFTWARE\Bramo\OVCA40DEMO\WP8' TPH | grep -q 'DLL2' || fail "batch: the slot is not in the product record"
startup="$WINE_PREFIX_DIR/drive_c/Office97/Office/Startup"
cmp -s "$target/Config/ovca4097.dot" "$startup/ovca4097.dot" || fail "batch: the Word 97 template is not in Word's startup folder"
query 'HKCU\SOFTWARE\Microsoft\Office\8.0\Word\Options' STARTUP-PATH | grep -qF 'C:\Office97\Office\Startup' ||
    fail "batch: the Word 97 startup folder was not recorded"
[ -e "$target/ovca40.exe" ] && fail "batch: the stand-alone checker stayed though no editor calls it"
"$RUN" reg query 'HKCU\SOFTWARE\Bramo\OVCA40DEMO\WORD8' >/dev/null 2>&1 || fail "batch: no Word 97 subkey in the record"

# c. Uninstalling undoes both.
INSTALLER='C:\OVCA40\install.exe'
e2e_start /U
e2e_uninstall_pages uninstall
robot click "Ortavel 4.0 Catal*" 1020 || fail "uninstall: no Seguent on the final page"
e2e_exit_is 0 60 || fail "uninstall: the run did not end"
query "$THIRD" DLL2 | grep -q WpDll4ca && fail "uninstall: the extension slot was not freed"
query "$THIRD" DLL1 | grep -q grammatik || fail "uninstall: another library's slot was touched"
[ -e "$startup/ovca4097.dot" ] && fail "uninstall: the Word 97 template stayed"
[ -f "$WINE_PREFIX_DIR/drive_c/Office97/Office/winword.exe" ] || fail "uninstall: Word itself was touched"
e2e_stop_prefix "$WINE_PREFIX_DIR"
echo "editors end-to-end: passed"
