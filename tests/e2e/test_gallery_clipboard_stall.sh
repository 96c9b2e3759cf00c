#!/usr/bin/env bash
# Clipboard owners that start an incremental (INCR) transfer and never finish it, under Xvfb:
# one that sends a piece every half second forever, one that stops after its first piece.
# Pasting either into the gallery's plain edit leaves the gallery answering keys at once (a key
# typed right after Ctrl+V reaches the edit within a second), and once the transfer is given up
# the edit holds what was typed, nothing of the paste.
# Usage: test_gallery_clipboard_stall.sh BIN_DIR
set -u
BIN=$(cd "$1" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/lib/xvfb.sh"
source "$HERE/lib/gallery.sh"
OUT=${LUMI_TEST_OUTPUT:-$(mktemp -d)}
mkdir -p "$OUT"
start_gallery "$OUT/gallery_events.txt"

# The validating edits' section stands at (500, 466); the edit that lets everything through at
# (8, 46) of it, 150 x 24: a click in its middle puts the caret at the end of its text.
xdotool mousemove $((WX + 500 + 8 + 140)) $((WY + 466 + 46 + 12)) click 1
sleep 0.2
xdotool type --delay 30 "ab"
expect_change edVtNone "ab"

# An owner streaming without end is given up after ten seconds in all; one that stalls, after
# two seconds without a piece.
typed=ab
for mode in "500 11" "0 3"; do
    set -- $mode
    "$BIN/xincrowner" "PASTED" "$1" >"$OUT/owner.txt" 2>&1 &
    OWNER=$!
    for i in $(seq 1 100); do
        grep -q ready "$OUT/owner.txt" && break
        sleep 0.05
    done
    grep -q ready "$OUT/owner.txt" || fail "the INCR owner did not take the clipboard: $(cat "$OUT/owner.txt")"

    xdotool key ctrl+v
    xdotool type "c"
    typed=${typed}c
    # Within a second of the paste: 20 looks, 50 ms apart.
    for i in $(seq 1 20); do
        [ "$(last_change edVtNone)" = "$typed" ] && break
        sleep 0.05
    done
    [ "$(last_change edVtNone)" = "$typed" ] ||
        fail "a key typed during a paste from an owner sending a piece every $1 ms did not reach the edit within a second (holds '$(last_change edVtNone)')"

    sleep "$2"
    xdotool type --delay 30 "d"
    typed=${typed}d
    expect_change edVtNone "$typed"
    grep -q "PASTED" "$EVENTS" && fail "the unfinished paste changed the edit: $(grep PASTED "$EVENTS" | head -n 3)"
    kill "$OWNER" 2>/dev/null
    wait "$OWNER" 2>/dev/null
done
gallery_alive
echo "gallery clipboard stall: the gallery answered keys during an unfinished INCR paste, which changed nothing"
