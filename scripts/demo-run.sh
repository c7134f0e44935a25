#!/bin/sh
# Runs install.exe from the sample disks in a fresh copy of the prefix and
# prints what the run left behind. The machine has two word processors for
# the installer to find and set up: stand-ins of WordPerfect 6.1 and Word 97.
# With /B it runs unattended: the UI robot answers any start-up warning and
# screenshots go to build/screenshots/demo.
E2E_ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$E2E_ROOT/scripts/e2e-lib.sh"
shots="$E2E_ROOT/build/screenshots/demo"
batch=no
for arg in "$@"; do [ "$arg" = "/B" ] && batch=yes; done

e2e_prefix demo
e2e_editors wp6 word97 || exit 1
mkdir -p "$WINE_PREFIX_DIR/drive_c/DIST"
cp -r "$E2E_ROOT/build/samples/disks"/DISK* "$WINE_PREFIX_DIR/drive_c/DIST/"
INSTALLER='C:\DIST\DISK01\install.exe'
echo "Running C:\\DIST\\DISK01\\install.exe $* in $WINE_PREFIX_DIR"
e2e_start "$@"
if [ "$batch" = yes ]; then
    while kill -0 "$INSTALL_PID" 2>/dev/null; do
        if robot wait "Instal*" 0 2>/dev/null; then
            e2e_shot "Instal*" "$shots/startup-warning.png"
            robot click "Instal*" 1
        fi
        if robot wait "Errada" 0 2>/dev/null; then
            e2e_shot "Errada" "$shots/error.png"
            echo "Error shown: $(robot text "Errada" 1102 | tr -d '\r' | tr '\n' ' ')"
            robot click "Errada" 1
        fi
        sleep 0.5
    done
fi
e2e_wait_exit 3600
echo "install.exe ended with exit code $?"

echo
echo "Installed into C:\\OVCA40:"
(cd "$WINE_PREFIX_DIR/drive_c" && find OVCA40 -type f -printf '  %-40p %10s bytes\n' 2>/dev/null | sort)
echo
echo "Program items in the Start menu:"
(cd "$WINE_PREFIX_DIR/drive_c" && find users ProgramData -path '*Programs/Ortavel*' -name '*.lnk' 2>/dev/null | sed 's/^/  /')
echo
echo "Word processors set up:"
ini="$WINE_PREFIX_DIR/drive_c/windows/wtapi.ini"
[ -f "$ini" ] && echo "  WordPerfect 6.1, C:\\windows\\wtapi.ini: $(tr -d '\r' <"$ini" | grep '^PathExe=')"
(cd "$WINE_PREFIX_DIR/drive_c" && find Office97/Office/Startup -type f 2>/dev/null | sed 's/^/  Word 97 template: /')
echo
echo "Install log C:\\windows\\ovca40.log, Events:"
e2e_events | sed 's/^/  /'
echo
echo "Registry (reg.exe writes in the console's OEM code page):"
"$RUN" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\Manual.hlp' 2>/dev/null | tr -d '\r' | iconv -f cp850 -t utf-8 | sed '/^$/d; s/^/  /'
"$RUN" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null | tr -d '\r' | iconv -f cp850 -t utf-8 | grep -i -A3 'ortavel' | sed 's/^/  /'
if [ "$batch" = yes ]; then
    if [ -d "$shots" ]; then echo "Screenshots in $shots"
    else echo "No start-up warning and no error to answer, so no screenshots (the pages' are in docs/screens)"; fi
fi
e2e_stop_prefix "$WINE_PREFIX_DIR"
