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
wine_fonts=/usr/share/wine/fonts

# Debian's Wine 8 doesn't find the fonts of fonts-wine where that package
# puts them, only in C:\windows\Fonts and through fontconfig: without
# Marlett the caption buttons and scroll arrows show as letters, and dialogs
# get a stand-in for MS Sans Serif. Prefixes made before this step get the
# copy too; marlett.ttf marks it done.
add_wine_fonts() {
    [ -f "$1/drive_c/windows/Fonts/marlett.ttf" ] && return 0
    if [ ! -f "$wine_fonts/marlett.ttf" ]; then
        echo "wineprefix: no Wine fonts in $wine_fonts (fonts-wine); caption buttons will show letters" >&2
        return 0
    fi
    mkdir -p "$1/drive_c/windows/Fonts"
    cp "$wine_fonts"/* "$1/drive_c/windows/Fonts/"
}

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
add_wine_fonts "$pristine"
if [ ! -f "$target/system.reg" ]; then
    rm -rf "$target"
    cp -a --reflink=auto "$pristine" "$target"
fi
add_wine_fonts "$target"
