#!/usr/bin/env bash
# Text in every script through the real display, in the gallery's free edit (vtNone): typed with
# xdotool and shown as formshot draws it, copied to the clipboard byte for byte, a megabyte of
# CJK text pasted and copied back by incremental (INCR) transfers, the primary selection both
# ways, and a dead key composed by the input method.
# Usage: test_gallery_text.sh BIN_DIR
set -u
BIN=$(cd "$1" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
SRC=${LUMI_SOURCE_DIR:-$(cd "$HERE/../.." && pwd)}
source "$HERE/lib/xvfb.sh"
source "$HERE/lib/gallery.sh"
OUT=${LUMI_TEST_OUTPUT:-$(mktemp -d)}
mkdir -p "$OUT"
start_gallery "$OUT/text_events.txt"

# The free edit: the validating edits' panel at (500, 466), the edit at (8, 46) in it, 150 x 24;
# its inner edit (inside the 3-pixel frame) at client (511, 515), 144 x 18.
EX=$((500 + 8)) EY=$((466 + 46))
TEXT='Grüße Ω я 漢字 😀'
at() { echo $((WX + $1)) $((WY + $2)); } # client point -> screen point
clear_edit() {
    xdotool mousemove $(at $((EX + 140)) $((EY + 12))) click 1
    xdotool key ctrl+a BackSpace
    sleep 0.2
}
wait_selection() { # selection text: waits until xclip reads it
    local i
    for i in $(seq 1 100); do
        [ "$(xclip -selection "$1" -o 2>/dev/null)" = "$2" ] && return 0
        sleep 0.05
    done
    return 1
}

# Typed: every character arrives whole.
clear_edit
xdotool type --delay 40 "$TEXT"
expect_change edVtNone "$TEXT"

# Shown: the edit's text area on the display is what formshot draws for the same keys (the
# caret moved home, out of the compared columns).
xdotool key Home
sleep 0.6
import -window root -crop 140x18+$((WX + EX + 6))+$((WY + EY + 3)) "$OUT/text_shown.png"
printf 'click %d %d\ntype %s\nkey home\nshot %s\n' $((EX + 140)) $((EY + 12)) "$TEXT" "$OUT/text_formshot.png" \
    >"$OUT/text.script"
"$BIN/formshot" "$SRC/gallery/frmGallery.txt" --events "$OUT/text.script" >/dev/null ||
    fail "formshot could not draw the gallery"
convert "$OUT/text_formshot.png" -crop 140x18+$((EX + 6))+$((EY + 3)) +repage "$OUT/text_expected.png"
diff=$(compare -metric AE "$OUT/text_shown.png" "$OUT/text_expected.png" null: 2>&1)
[ "$diff" = "0" ] || fail "the edit shows other pixels than formshot draws ($diff differ): see $OUT/text_shown.png"
# And it is not blank: the CJK characters and the emoji left ink.
colours=$(convert "$OUT/text_shown.png" -format %k info:)
[ "$colours" -gt 10 ] || fail "the edit's text area looks empty ($colours colours)"

# Copied: the same bytes on the clipboard. On a loaded machine a key can reach the edit after
# its Ctrl was let go (the window system takes modifiers as they arrive, not as it handles each
# key): selecting and copying again is harmless, so up to three tries.
copied=
for i in 1 2 3; do
    xdotool key ctrl+a ctrl+c
    wait_selection clipboard "$TEXT" && copied=1 && break
    echo "note: Ctrl+A Ctrl+C pressed again: the clipboard held '$(xclip -selection clipboard -o 2>/dev/null)'" >&2
done
[ -n "$copied" ] || fail "the clipboard holds '$(xclip -selection clipboard -o 2>/dev/null)'"
[ "$(xclip -selection clipboard -o -t UTF8_STRING | od -An -tx1)" = "$(printf '%s' "$TEXT" | od -An -tx1)" ] ||
    fail "the clipboard's bytes differ"

# Selected with the mouse: the primary selection is ours, and says what was selected.
xdotool mousemove $(at $((EX + 4)) $((EY + 12))) mousedown 1
xdotool mousemove $(at $((EX + 146)) $((EY + 12))) sleep 0.1 mouseup 1
wait_selection primary "$TEXT" || fail "the primary selection holds '$(xclip -selection primary -o)'"

# A middle click pastes what another client selected.
clear_edit
printf 'Ωμέγα 漢' | xclip -selection primary -i
wait_selection primary 'Ωμέγα 漢' || fail "xclip did not take the primary selection"
xdotool mousemove $(at $((EX + 70)) $((EY + 12))) click 2
expect_change edVtNone 'Ωμέγα 漢'

# A megabyte and more of CJK text (more than xclip sends in one piece, so by INCR), pasted, then
# copied back to another client (more than we send in one piece: INCR again).
big="$OUT/big.txt"
yes '漢字かなカナ' | head -n 70000 | tr -d '\n' >"$big"
size=$(stat -c %s "$big")
[ "$size" -gt 1100000 ] || fail "the test text is only $size bytes"
xclip -selection clipboard -i <"$big"
for i in $(seq 1 100); do
    [ "$(xclip -selection clipboard -o 2>/dev/null | wc -c)" = "$size" ] && break
    sleep 0.05
done
clear_edit
big_arrived() { # waits up to ~10 s for the pasted text's OnChange
    local i
    for i in $(seq 1 200); do
        grep -q '^edVtNone: OnChange .漢字かなカナ' "$EVENTS" && return 0
        sleep 0.05
    done
    return 1
}
xdotool key ctrl+v
# As in the validating edits' test: the clipboard's owner can miss the window system's one second
# to answer, or the Ctrl can be lost (above). Nothing arrived, so once more, then it counts.
if ! big_arrived; then
    echo "note: Ctrl+V pressed again: the big text did not arrive" >&2
    xdotool key ctrl+v
    big_arrived || fail "the big paste did not arrive"
fi
# Keys pressed while the window is still busy with the new text can lose their Ctrl (the window
# system takes modifiers as they arrive, not as it handles each key): select all until the
# primary selection shows that it worked.
select_all_big() {
    local i j
    for i in 1 2 3 4 5; do
        xdotool key ctrl+a
        for j in $(seq 1 40); do
            [ "$(xclip -selection primary -o 2>/dev/null | wc -c)" = "$size" ] && return 0
            sleep 0.1
        done
    done
    fail "Ctrl+A did not select the big text"
}
select_all_big
xdotool key ctrl+c
for i in $(seq 1 200); do
    xclip -selection clipboard -o >"$OUT/big_back.txt" 2>/dev/null
    cmp -s "$big" "$OUT/big_back.txt" && break
    sleep 0.1
done
cmp -s "$big" "$OUT/big_back.txt" ||
    fail "the big text came back as $(stat -c %s "$OUT/big_back.txt") bytes, not $size"

xdotool key BackSpace # the whole text is still selected
wait_change edVtNone '' || fail "the big text could not be cleared"

# A dead key composes through the input method: dead acute, then e.
clear_edit
setxkbmap -layout us -variant intl || fail "setxkbmap could not load the international layout"
sleep 0.3
xdotool key dead_acute e
expect_change edVtNone 'é'
setxkbmap -layout us

gallery_alive
echo "gallery text: typed, shown, copied, a megabyte pasted and copied back by INCR, primary both ways, a dead key"
