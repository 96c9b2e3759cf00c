#!/usr/bin/env bash
# The gallery's image panel section under Xvfb, driven with the real pointer: in the panel with
# KeepSelStatus a click leaves exactly the clicked star selected; in the one without, a click
# leaves it normal; the pointer on a panel's bare surface returns a hot star at once, and the
# panel's cursor poll returns it once the pointer has left the window. The gallery writes every
# event on standard output ("StarKeep1: status 0 -> 1").
# Usage: test_gallery_impanel.sh BIN_DIR
set -u
BIN=$(cd "$1" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/lib/xvfb.sh"
source "$HERE/lib/notice.sh"
OUT=${LUMI_TEST_OUTPUT:-$(mktemp -d)}
mkdir -p "$OUT"

# The notice helpers find and measure a window by TITLE and watch NOTICE_PID.
TITLE="Lumivane controls"
EVENTS="$OUT/gallery_events.txt"
NOTICE_ERR=$(mktemp)
"$BIN/lumivane-gallery" >"$EVENTS" 2>"$NOTICE_ERR" &
NOTICE_PID=$!
wait_window
window_geometry
at() { xdotool mousemove $(( WX + $1 )) $(( WY + $2 )); }
click() { at "$1" "$2"; xdotool click 1; }
# Waits (up to ~5 s) until the event log holds exactly the expected lines after what it held.
seen=0
expect() {
    local want got i
    want=$(printf '%s\n' "$@")
    for i in $(seq 1 100); do
        got=$(tail -n +$(( seen + 1 )) "$EVENTS")
        [ "$got" = "$want" ] && { seen=$(( seen + $# )); return 0; }
        sleep 0.05
    done
    fail "expected events:
$want
got:
$got"
}
# The 32x32 star at client x,y as a PNG, from a fresh screenshot.
star() { convert "$OUT/shot.png" -crop "32x32+$1+$2" +repage "$OUT/$3.png"; }
same_star() { [ "$(compare -metric AE "$OUT/$1.png" "$OUT/$2.png" null: 2>&1)" = 0 ]; }

# The section lies at (8, 466); its panels at (16, 496) and (254, 496), 226 x 84, with stars at
# panel x = 20, 96, 172 and y = 12.
at 600 700
sleep 0.3
at 52 524
expect "StarKeep1: status 0 -> 1"
xdotool click 1
expect "StarKeep1: status 1 -> 0" "StarKeep1: status 0 -> 2" "StarKeep1: OnClick"
at 128 524
expect "StarKeep2: status 0 -> 1"
xdotool click 1
expect "StarKeep1: status 2 -> 0" "StarKeep2: status 1 -> 0" "StarKeep2: status 0 -> 2" "StarKeep2: OnClick"
at 220 575
sleep 0.3
shoot "$OUT/shot.png"
star 36 508 keep1
star 112 508 keep2
star 188 508 keep3
same_star keep1 keep3 || fail "the first star did not return to normal"
same_star keep2 keep3 && fail "the clicked star does not look selected"

click 290 524
expect "StarPlain1: status 0 -> 1" "StarPlain1: status 1 -> 0" "StarPlain1: OnClick"
at 366 524
expect "StarPlain2: status 0 -> 1"
at 460 575
expect "StarPlain2: status 1 -> 0"

# Out of the window where no control sees the pointer go: the poll resets the star.
at 290 524
expect "StarPlain1: status 0 -> 1"
xdotool mousemove 5 5
expect "StarPlain1: status 1 -> 0"
[ -s "$NOTICE_ERR" ] && fail "the gallery wrote errors: $(cat "$NOTICE_ERR")"
echo "gallery image panels: selection kept only where asked; surface and poll reset hot stars"
