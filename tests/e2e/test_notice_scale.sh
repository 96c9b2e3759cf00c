#!/usr/bin/env bash
# The notice program on a high-density desktop: with Xft.dpi 192 in the root window's resources
# its client area maps at twice its size, centred, and its Close button answers a click at its
# place at that size; setting Xft.dpi back to 96 while it runs shrinks it back. LUMIVANE_SCALE
# wins over the resources, and a bad value of it is refused with a message.
# Usage: test_notice_scale.sh BIN_DIR
set -u
BIN=$(cd "$1" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/lib/xvfb.sh"
source "$HERE/lib/notice.sh"
OUT=${LUMI_TEST_OUTPUT:-$(mktemp -d)}
mkdir -p "$OUT"

set_dpi() { xprop -root -f RESOURCE_MANAGER 8s -set RESOURCE_MANAGER "Xft.dpi:	$1"; }

# Waits (up to 10 s) for the client area to be W x H.
wait_size() {
    local i
    for i in $(seq 1 200); do
        window_geometry
        [ "$WW" = "$1" ] && [ "$WH" = "$2" ] && return 0
        sleep 0.05
    done
    fail "client area is ${WW}x${WH}, not $1x$2"
}

# 1. Twice the size, centred on the 1280x1024 screen (640x512 logical pixels) as at 1x: the
#    window with its frame of 4 logical pixels at the sides and 23 at the top.
set_dpi 192
start_notice
wait_window
wait_size 956 668
[ "$WX" = $(( 2 * ((640 - 486) / 2 + 4) )) ] && [ "$WY" = $(( 2 * ((512 - 361) / 2 + 23) )) ] || fail "2x window at $WX,$WY is not centred"
shoot "$OUT/notice_2x.png"
# The window manager is told sizes in device pixels: the smallest is twice 112x27.
hints=$(xprop -id "$WIN" WM_NORMAL_HINTS)
echo "$hints" | grep -q "program specified size: 956 by 668" || fail "size hints: $hints"
echo "$hints" | grep -q "program specified minimum size: 224 by 54" || fail "size hints: $hints"

# 2. A click at the Close button's 1x place lands in the notice text and does nothing; at its
#    2x place (the centre of 366,257 doubled) it closes the window, status 0.
xdotool mousemove $((WX + 366)) $((WY + 257)) click 1
sleep 0.5
kill -0 "$NOTICE_PID" 2>/dev/null || fail "a click at the 1x place closed the window"
xdotool mousemove $((WX + 732)) $((WY + 514)) click 1
wait_exit
[ "$STATUS" -eq 0 ] || fail "Close at 2x: status $STATUS"
[ -s "$NOTICE_ERR" ] && fail "unexpected standard error: $(cat "$NOTICE_ERR")"

# 3. The desktop goes back to 96 DPI while the program runs: the window shrinks to 1x, and is
#    painted at 1x (the Close button's frame where the 1x picture has it).
start_notice
wait_window
wait_size 956 668
set_dpi 96
wait_size 478 334
hints=$(xprop -id "$WIN" WM_NORMAL_HINTS)
echo "$hints" | grep -q "program specified minimum size: 112 by 27" || fail "size hints after the change: $hints"
sleep 0.3
shoot "$OUT/notice_back_to_1x.png"
[ "$(dark_count "$OUT/notice_back_to_1x.png" 120 11 417 241)" -gt 500 ] || fail "the notice text is missing after shrinking"
xdotool mousemove $((WX + 366)) $((WY + 257)) click 1
wait_exit
[ "$STATUS" -eq 0 ] || fail "Close at 1x after the change: status $STATUS"

# 4. LUMIVANE_SCALE wins over Xft.dpi; a value out of range is refused with a message and the
#    resources decide.
set_dpi 192
start_notice LUMIVANE_SCALE=3
wait_window
wait_size 1434 1002
kill -TERM "$NOTICE_PID"
wait_exit
start_notice LUMIVANE_SCALE=7
wait_window
wait_size 956 668
grep -q LUMIVANE_SCALE "$NOTICE_ERR" || fail "no message for LUMIVANE_SCALE=7"
kill -TERM "$NOTICE_PID"
wait_exit
echo "notice scale: all good"
