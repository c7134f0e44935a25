#!/bin/sh
# Creates the project's Wine prefixes (never the user's ~/.wine) when they
# are absent: a pristine one that nothing ever runs in, copied for each
# end-to-end scenario, and the one the unit tests run in (WINE_PREFIX_DIR
# names another). No Mono or Gecko prompts.
set -e
here=$(cd "$(dirname "$0")/.." && pwd)
pristine="$here/build/wineprefix-pristine"
target="${WINE_PREFIX_DIR:-$here/build/wineprefix}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C LANG=C

if [ ! -f "$pristine/system.reg" ]; then
    echo "Creating Wine prefix $pristine" >&2
    rm -rf "$pristine"
    mkdir -p "$(dirname "$pristine")"
    export WINEPREFIX="$pristine"
    wineboot -i >/dev/null 2>&1 </dev/null
    # Windows are not handed to an X window manager: under Xvfb there is
    # none, and Wine would wait about two seconds for it each time a window
    # is hidden.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 </dev/null
    wineserver -w
fi
if [ ! -f "$target/system.reg" ]; then
    rm -rf "$target"
    cp -a --reflink=auto "$pristine" "$target"
fi
