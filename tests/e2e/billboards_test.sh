#!/bin/sh
# Pictures of the main window, the three billboards and the gauge, taken from
# the X display while uishowcase.exe holds each of them on screen, with a few
# checks of what they show. SCREENS_DIR chooses where the PNGs go
# (docs/screens to remake the documentation's pictures).
E2E_ROOT=$(cd "$(dirname "$0")/../.." && pwd)
. "$E2E_ROOT/scripts/e2e-lib.sh"
shots="${SCREENS_DIR:-$E2E_ROOT/build/screenshots/ui}"
mkdir -p "$shots"

e2e_prefix ui-showcase
exchange="$WINE_PREFIX_DIR/drive_c/showcase"
mkdir -p "$exchange"

# show STAGE: runs the showcase for STAGE, saves STAGE.png; sets W and H.
show() {
    rm -f "$exchange/ready.txt" "$exchange/go.txt"
    "$RUN" "$E2E_BUILD/uishowcase.exe" "$1" 'C:\showcase\ready.txt' 'C:\showcase\go.txt' \
        >"$WINE_PREFIX_DIR/showcase.out" 2>&1 &
    pid=$!
    i=0
    while [ ! -s "$exchange/ready.txt" ]; do
        i=$((i + 1))
        if [ $i -gt 300 ] || ! kill -0 $pid 2>/dev/null; then
            touch "$exchange/go.txt"
            wait $pid
            cat "$WINE_PREFIX_DIR/showcase.out" >&2
            fail "$1 was not shown"
        fi
        sleep 0.1
    done
    set -- "$1" $(cat "$exchange/ready.txt")
    import -display "$DISPLAY" -window root -crop "${4}x${5}+${2}+${3}" +repage "$shots/$1.png" \
        || fail "no picture of $1"
    touch "$exchange/go.txt"
    wait $pid || fail "uishowcase $1 ended with $?"
    W=$4 H=$5
}

# pixel FILE X Y: the colour of one pixel as "R,G,B".
pixel() {
    convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:
}

show main
[ "$W" -eq 1024 ] && [ "$H" -eq 768 ] || fail "main window is ${W}x${H}, not the whole screen"
# The bottom row of the screen is the gradient's last colour, near RGB(1, 104, 204).
bottom=$(pixel "$shots/main.png" 1000 767)
case "$bottom" in 0,10[45],20[345]|1,10[45],20[345]) ;; *) fail "bottom of the gradient is $bottom" ;; esac
mv "$shots/main.png" "$shots/main-window.png"

show billboard-0
[ "$W" -gt 200 ] && [ "$H" -gt 100 ] || fail "billboard 0 is ${W}x${H}"
show billboard-1
[ "$W" -eq 400 ] && [ "$H" -eq 240 ] || fail "billboard 1 is ${W}x${H}, not its bitmap's size"
# The flag band on the picture's left edge: yellow, then red.
left=$(pixel "$shots/billboard-1.png" 1 120)
[ "$left" = "$(convert "$E2E_ROOT/resources/art/billboard-picture.bmp" -format "%[fx:int(255*p{1,120}.r)],%[fx:int(255*p{1,120}.g)],%[fx:int(255*p{1,120}.b)]" info:)" ] \
    || fail "billboard 1 does not show its bitmap unchanged ($left)"
show billboard-2
[ "$W" -gt 200 ] && [ "$H" -gt 80 ] || fail "billboard 2 is ${W}x${H}"
show gauge
[ "$W" -gt 300 ] || fail "gauge panel is ${W}x${H}"

e2e_stop_prefix "$WINE_PREFIX_DIR"
echo "billboards end-to-end: passed; pictures in $shots"
