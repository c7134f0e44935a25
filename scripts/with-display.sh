#!/bin/sh
# Runs a command with a private X display (Xvfb) and stops the project's own
# wineserver afterwards, so nothing is left holding pipes or the display.
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="${WINE_PREFIX_DIR:-$here/build/wineprefix}"
fdfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
xvfb=$!
i=0
while [ ! -s "$fdfile" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
display=$(head -n1 "$fdfile")
rm -f "$fdfile"
if [ -z "$display" ]; then
    echo "with-display: Xvfb did not start" >&2
    kill "$xvfb" 2>/dev/null
    exit 1
fi
export DISPLAY=":$display"
"$@"
rc=$?
wineserver -k >/dev/null 2>&1
wineserver -w >/dev/null 2>&1
kill "$xvfb" 2>/dev/null
wait "$xvfb" 2>/dev/null
exit $rc
