#!/bin/sh
# Creates the project's private Wine prefix (never the user's ~/.wine) when
# it is absent: no Mono or Gecko prompts, and a floppy drive A: for the
# dictionary backup.
set -e
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="${WINE_PREFIX_DIR:-$here/build/wineprefix}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C LANG=C
[ -f "$WINEPREFIX/system.reg" ] && exit 0
mkdir -p "$(dirname "$WINEPREFIX")"
echo "Creating Wine prefix $WINEPREFIX" >&2
wineboot -i >/dev/null 2>&1 </dev/null
# Windows are not handed to an X window manager: under Xvfb there is none,
# and Wine would wait about two seconds for it each time a window is hidden.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 </dev/null
wineserver -w
