#!/usr/bin/env bash
# The gallery's validating edits under Xvfb: keys typed with xdotool and text another X client
# (xclip) put on the clipboard, pasted with Ctrl+V, go through each edit's filter. The gallery
# writes every OnChange with the edit's new text on its standard output.
# Usage: test_gallery_validate.sh BIN_DIR
set -u
BIN=$(cd "$1" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/lib/xvfb.sh"
source "$HERE/lib/gallery.sh"
OUT=${LUMI_TEST_OUTPUT:-$(mktemp -d)}
mkdir -p "$OUT"
start_gallery "$OUT/gallery_events.txt"

# The section's panel stands at (500, 466); the kinds' edits, 150 x 24, in three columns at
# x 8, 166, 324 and three rows at y 46, 94, 142 of the panel.
declare -A COL=([vtCustom]=166 [vtInteger]=324 [vtIntegerPs]=8 [vtFloat]=166 [vtFloatPs]=324 [vtHex]=8
                [vtHexUp]=166 [vtHexLo]=324 [vtNone]=8)
declare -A ROW=([vtNone]=46 [vtCustom]=46 [vtInteger]=46 [vtIntegerPs]=94 [vtFloat]=94 [vtFloatPs]=94
                [vtHex]=142 [vtHexUp]=142 [vtHexLo]=142)
click_edit() { # kind: a click in the middle of its edit puts the caret at the end of its text
    xdotool mousemove $((WX + 500 + ${COL[$1]} + 140)) $((WY + 466 + ${ROW[$1]} + 12)) click 1
    sleep 0.2
}
edit_name() { echo "ed${1^}"; }
last_text() { last_change "$(edit_name "$1")"; }
wait_text() { wait_change "$(edit_name "$1")" "$2"; }
expect_text() { expect_change "$(edit_name "$1")" "$2"; }
paste_into() { # kind text: another client owns the clipboard, then Ctrl+V
    local i
    printf '%s' "$2" | xclip -selection clipboard -i
    # xclip takes the clipboard from a child it forks: wait until the clipboard answers.
    for i in $(seq 1 100); do
        [ "$(xclip -selection clipboard -o 2>/dev/null)" = "$2" ] && break
        sleep 0.05
    done
    click_edit "$1"
    xdotool key ctrl+v
    # The window system gives the clipboard's owner one second to answer; on a loaded machine
    # xclip can miss that, and the paste finds no text. Once more, then the result counts.
    if [ -n "${3:-}" ] && ! wait_text "$1" "$3" && [ -z "$(last_text "$1")" ]; then
        echo "note: Ctrl+V into $(edit_name "$1") pressed again: the clipboard's owner answered late" >&2
        xdotool key ctrl+v
    fi
}

# Typed keys, through the keyboard path.
click_edit vtInteger
xdotool type --delay 30 "12-a3"
expect_text vtInteger "123"
xdotool key Home
xdotool type --delay 30 "-"
expect_text vtInteger "-123"
click_edit vtFloat
xdotool type --delay 30 "3.1.4x"
expect_text vtFloat "3.14"
click_edit vtHexUp
xdotool type --delay 30 "beefg"
expect_text vtHexUp "BEEF"
click_edit vtCustom
xdotool type --delay 30 "Hi There"
expect_text vtCustom "H T"

# Pastes: every character judged against the edit before the paste.
paste_into vtIntegerPs "12ab-3" "123"
expect_text vtIntegerPs "123"
paste_into vtFloatPs "--5.5.x" "5.5."
expect_text vtFloatPs "5.5."
paste_into vtHexLo "CAFE!" "cafe"
expect_text vtHexLo "cafe"
paste_into vtHex "12" "12"
expect_text vtHex "12"
paste_into vtNone "a-b c" "a-b c"
expect_text vtNone "a-b c"
# A paste with nothing that passes changes nothing: no OnChange for the hex edit.
before=$(grep -c "^edVtHex: OnChange" "$EVENTS")
paste_into vtHex "xyz"
sleep 0.3
[ "$(grep -c "^edVtHex: OnChange" "$EVENTS")" = "$before" ] || fail "a refused paste changed the hex edit"

gallery_alive
echo "gallery validate: typed and pasted text went through the filters of seven kinds"
