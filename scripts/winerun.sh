#!/bin/sh
# Runs a Windows program in the project's private Wine prefix and passes on
# its output and exit code. The program's output goes through files, so a
# wineserver started here never holds the caller's pipes open.
#   WINE_PREFIX_DIR overrides the prefix (end-to-end tests use copies).
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="${WINE_PREFIX_DIR:-$here/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
# The ANSI code page of the Catalan texts is Windows-1252, which Wine keeps
# for this locale too; its UTF-8 Unix side is what lets Wine store file
# names with Catalan letters (the program group "Ortavel 4.0 Catal\xE0").
export LC_ALL=C.UTF-8 LANG=C.UTF-8

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    "$here/scripts/wineprefix.sh" >&2 || exit 1
fi

out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
wine "$@" >"$out" 2>"$err" </dev/null
rc=$?
cat "$out"
cat "$err" >&2
exit $rc
