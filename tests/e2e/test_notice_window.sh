#!/usr/bin/env bash
# The real notice program under Xvfb: its window, its text, and the ways it ends.
# Usage: test_notice_window.sh BIN_DIR
set -u
BIN=$(cd "$1" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/lib/xvfb.sh"
source "$HERE/lib/notice.sh"
OUT=${LUMI_TEST_OUTPUT:-$(mktemp -d)}
mkdir -p "$OUT"

# 1. The window: title, centred, client area 478x334. The whole window (486x361 with its frame:
#    4 pixels at the sides and bottom, 23 at the top) is centred, so the client area sits at
#    ((1280 - 486) / 2 + 4, (1024 - 361) / 2 + 23).
start_notice
wait_window
window_geometry
[ "$WW" = 478 ] && [ "$WH" = 334 ] || fail "client area is ${WW}x${WH}, not 478x334"
[ "$WX" = $(( (1280 - 486) / 2 + 4 )) ] && [ "$WY" = $(( (1024 - 361) / 2 + 23 )) ] || fail "window at $WX,$WY is not centred"
name=$(xprop -id "$WIN" _NET_WM_NAME)
case "$name" in *'"Renamed to Lumivane"'*) ;; *) fail "title: $name" ;; esac

# 2. What it shows: the notice text begins with a four-space indent (no ink at the start of the
#    first line, ink at the start of the second), in bold black; "Lumivane" in red.
sleep 0.3
shoot "$OUT/notice.png"
first=$(dark_count "$OUT/notice.png" 120 11 132 29)
second=$(dark_count "$OUT/notice.png" 120 29 132 47)
[ "$first" -eq 0 ] || fail "ink where the first line's indent should be ($first pixels)"
[ "$second" -gt 5 ] || fail "no ink at the start of the second line ($second pixels)"
[ "$(dark_count "$OUT/notice.png" 120 11 417 241)" -gt 500 ] || fail "the notice text is missing"
red=$(awk '$1 >= 10 && $1 < 109 && $2 >= 67 && $2 < 86 { split($3, c, ","); if (c[1] > 180 && c[2] < 80 && c[3] < 80) n++ } END { print n + 0 }' "$OUT/notice.png.txt")
[ "$red" -gt 40 ] || fail "the red product name is missing ($red red pixels)"

# 3. A close request, as a window manager sends it, ends the program with status 0.
"$BIN/xclose" "$WIN" || fail "xclose failed"
wait_exit
[ "$STATUS" -eq 0 ] || fail "close request: status $STATUS"
[ -s "$NOTICE_ERR" ] && fail "unexpected standard error: $(cat "$NOTICE_ERR")"

# 4. SIGTERM, SIGHUP (the session ends, the terminal closes) and SIGINT close the window as a
#    close request does, and the program ends with status 0 too.
for sig in TERM HUP INT; do
    start_notice
    wait_window
    kill -$sig "$NOTICE_PID"
    wait_exit
    [ "$STATUS" -eq 0 ] || fail "SIG$sig: status $STATUS"
done

# Started ignoring SIGHUP (nohup), it keeps ignoring it; SIGTERM still closes it.
(trap '' HUP; exec "$BIN/lumivane-notice" 2>"$NOTICE_ERR") &
NOTICE_PID=$!
wait_window
kill -HUP "$NOTICE_PID"
sleep 0.3
kill -0 "$NOTICE_PID" 2>/dev/null || fail "SIGHUP ended a program started ignoring it"
kill -TERM "$NOTICE_PID"
wait_exit
[ "$STATUS" -eq 0 ] || fail "SIGTERM after an ignored SIGHUP: status $STATUS"

# With the X server frozen (stopped, not gone), SIGTERM still ends it within about a second.
start_notice
wait_window
kill -STOP "$XVFB_PID"
kill -TERM "$NOTICE_PID"
for i in $(seq 1 30); do
    kill -0 "$NOTICE_PID" 2>/dev/null || break
    sleep 0.1
done
still=0
kill -0 "$NOTICE_PID" 2>/dev/null && still=1
kill -CONT "$XVFB_PID"
[ "$still" = 0 ] || fail "SIGTERM with the server frozen: still running after 3 s"
wait "$NOTICE_PID"

# 5. Start-up failures say what went wrong and end with a non-zero status.
DISPLAY=:65000 "$BIN/lumivane-notice" 2>"$OUT/nodisplay.err"
st=$?
[ "$st" -ne 0 ] || fail "no display: status 0"
grep -qi "display" "$OUT/nodisplay.err" || fail "no display: message was '$(cat "$OUT/nodisplay.err")'"

# An unreadable layout (a test-only override of the compiled-in one): the message box names the
# problem; answering it ends the program with a non-zero status, the message also on stderr.
start_notice LUMI_TEST_LAYOUT=/nonexistent/layout.txt
box=""
for i in $(seq 1 200); do
    box=$("$BIN/xfindwin" "Test TImButtons" 2>/dev/null | head -n 1)
    [ -n "$box" ] && xwininfo -id "$box" 2>/dev/null | grep -q IsViewable && break
    box=""
    sleep 0.05
done
[ -n "$box" ] || fail "no message box for a broken layout"
xdotool windowfocus --sync "$box" key Return
wait_exit
[ "$STATUS" -ne 0 ] || fail "broken layout: status 0"
grep -q "layout" "$NOTICE_ERR" || fail "broken layout: stderr was '$(cat "$NOTICE_ERR")'"

echo "notice window: all checks passed"
