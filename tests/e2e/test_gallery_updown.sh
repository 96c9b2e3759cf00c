#!/usr/bin/env bash
# The gallery's up-down edits under Xvfb: the Up and Down keys (xdotool) step a focused edit, an
# arrow key held down paints its button pressed, and the left button held on an arrow button
# steps at once, then repeats, wrapping past the highest 64-bit value; the held button paints
# pressed. The gallery writes every OnChange with the edit's new text on its standard output.
# Usage: test_gallery_updown.sh BIN_DIR
set -u
BIN=$(cd "$1" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/lib/xvfb.sh"
source "$HERE/lib/gallery.sh"
OUT=${LUMI_TEST_OUTPUT:-$(mktemp -d)}
mkdir -p "$OUT"
start_gallery "$OUT/gallery_updown_events.txt"

# The section's panel stands at (8, 596); its edits, 200 x 22, at x 274 and y 30, 60, 90, 120.
declare -A ROW=([Normal]=30 [Flat]=60 [UltraFlat]=90 [None]=120)
X0=$((WX + 8 + 274))
Y0() { echo $((WY + 596 + ${ROW[$1]})); }
# An edit's up button: 15 wide at x 183 (normal frame) or 184 (the others), from y 2 or 1.
up_left() { [ "$1" = Normal ] && echo 183 || echo 184; }
up_top() { [ "$1" = Normal ] && echo 2 || echo 1; }

last_text() { last_change "ud$1"; }
changes() { grep -c "^ud$1: OnChange '" "$EVENTS"; }
wait_text() { wait_change "ud$1" "$2"; }
expect_text() { expect_change "ud$1" "$2"; }
# The colour of one pixel of an edit's up button (button coordinates), as shown: RRGGBB.
up_pixel() { # edit x y
    local x=$((X0 + $(up_left "$1") + $2)) y=$(($(Y0 "$1") + $(up_top "$1") + $3))
    import -window root -crop "1x1+$x+$y" +repage -depth 8 txt:- | awk 'NR == 2 { print toupper(substr($3, 2, 6)) }'
}
# Waits (up to ~3 s) until the pixel shows the colour: painting follows the input asynchronously.
expect_pixel() { # edit x y RRGGBB what
    local i got
    for i in $(seq 1 60); do
        got=$(up_pixel "$1" "$2" "$3")
        [ "$got" = "$4" ] && return 0
        sleep 0.05
    done
    fail "ud$1's up button at ($2, $3) shows $got, expected $4 ($5)"
}

# Keys: a click in the text gives the edit the focus; Up and Down step by one.
xdotool mousemove $((X0 + 60)) $(($(Y0 Normal) + 11)) click 1
sleep 0.2
xdotool key Up Up Up
expect_text Normal 53
xdotool key Down
expect_text Normal 52

# An arrow key held down paints its button pressed (sunken: dark top-left) until released.
expect_pixel Normal 0 0 FFFFFF "at rest, raised"
xdotool keydown Up
expect_pixel Normal 0 0 404040 "Up key held"
xdotool keyup Up
expect_pixel Normal 0 0 FFFFFF "Up key released"
wait_text Normal 53 || true
before=$(last_text Normal)
[ "$before" -ge 53 ] 2>/dev/null || fail "the held Up key did not step: '$before'"

# The left button held on the ultra-flat edit's up button: one step at once, then repeats from
# about half a second on, wrapping from the highest value to the lowest ones.
xdotool mousemove $((X0 + 184 + 7)) $(($(Y0 UltraFlat) + 5))
sleep 0.2
n0=$(changes UltraFlat)
xdotool mousedown 1
expect_text UltraFlat 9223372036854775807
expect_pixel UltraFlat 3 3 B5B5B5 "left button held"
sleep 1.2
xdotool mouseup 1
expect_pixel UltraFlat 3 3 C0C8F0 "released, pointer still over it"
sleep 0.3
n=$(($(changes UltraFlat) - n0))
last=$(last_text UltraFlat)
[ "$n" -ge 4 ] || fail "a held arrow button stepped only $n times in 1.2 s"
[[ "$last" =~ ^-9223372036854775[0-9]{3}$ ]] || fail "no wrap past the highest value: the edit reads '$last'"
# The steps came one at a time: the second text is the lowest value.
grep "^udUltraFlat: OnChange '" "$EVENTS" | sed -n "$((n0 + 2))p" | grep -qF "'-9223372036854775808'" ||
    fail "the step after the highest value did not give the lowest: $(grep '^udUltraFlat: OnChange' "$EVENTS" | head -n 3 | tr '\n' '|')"
sleep 0.3
[ "$(last_text UltraFlat)" = "$last" ] || fail "the edit kept stepping after the release"

gallery_alive
echo "gallery updown: keys and a held arrow button step the values; held key and button paint pressed"
