#!/usr/bin/env bash
# formview under a real window manager (openbox decorates, reparents and places windows): the
# window keeps its place across reloads, also after two saves 50 ms apart (the second reload then
# comes while the manager is still placing the window of the first), and keeps the size the user
# gave it while the layout's own size stays the same; a layout that changes its size gets it.
# Usage: test_formview_place.sh BIN_DIR
set -u
BIN=$(cd "$1" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/lib/xvfb.sh"
source "$HERE/lib/notice.sh"
command -v openbox >/dev/null || { echo "SKIP: openbox is not installed (bash scripts/deps.sh test)"; exit 0; }
WORK=$(mktemp -d)
LAYOUT="$WORK/layout.txt"

layout() { # caption client-width
    printf "object Form1: TForm\n  Caption = '%s'\n  ClientHeight = 120\n  ClientWidth = %s\n  Position = poScreenCenter\nend\n" \
        "$1" "$2"
}

# Waits until the window titled $1 is shown where and as large as expected ("X,Y WxH").
expect_window() { # title place
    TITLE=$1
    local i
    for i in $(seq 1 100); do
        wait_window
        window_geometry
        [ "$WX,$WY ${WW}x$WH" = "$2" ] && return 0
        sleep 0.05
    done
    fail "'$1' is at $WX,$WY ${WW}x$WH, not at $2"
}

HOME=$WORK openbox --sm-disable >"$WORK/openbox.log" 2>&1 &
for i in $(seq 1 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break; sleep 0.05; done
# openbox names itself a moment before it manages windows: one mapped in between stays unmapped
# and unmanaged (seen on a loaded two-core machine). Give it that moment.
sleep 1

layout First 240 >"$LAYOUT"
NOTICE_ERR="$WORK/stderr.txt"
"$BIN/formview" "$LAYOUT" 2>"$NOTICE_ERR" &
NOTICE_PID=$!
TITLE=First
wait_window
# The user moves the window and makes it larger, as a window manager lets them.
xdotool windowmove --sync "$WIN" 300 300 windowsize --sync "$WIN" 300 150
window_geometry
PLACE="$WX,$WY ${WW}x$WH"
[ "$WW" = 300 ] || fail "the window could not be resized ($PLACE)"

for n in 1 2 3; do
    layout "Quick$n" 240 >"$LAYOUT"
    sleep 0.05
    layout "Saved$n" 240 >"$LAYOUT"
    expect_window "Saved$n" "$PLACE"
done

# The layout's own size changed: the window takes it, in the same place.
layout Wider 280 >"$LAYOUT"
expect_window Wider "${PLACE% *} 280x120"

"$BIN/xclose" "$WIN" || fail "could not ask the window to close"
wait_exit
[ "$STATUS" -eq 0 ] || fail "closing: status $STATUS ($(cat "$NOTICE_ERR"))"
rm -rf "$WORK"
echo "formview: the window keeps its place and size across quick saves under a window manager"
