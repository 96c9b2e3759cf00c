#!/usr/bin/env bash
# formview --design under Xvfb, driven with xdotool on a copy of the gallery's layout: saved
# unchanged first (the writer's text of it, the base); then a button dragged to a free place (on
# the 8-pixel grid), moved by arrow keys, resized by its handle, its Caption and Looks changed in
# the inspector, a TValidateEdit put from the palette into a panel, that undone and redone, and
# saved; the inspector's title marks unsaved changes. The diff from the base holds exactly those
# changes; formshot loads the saved layout and a click where the button was put reaches it.
# Usage: test_formview_design.sh BIN_DIR
set -u
BIN=$(cd "$1" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
XVFB_SCREEN=1920x1080x24
source "$HERE/lib/xvfb.sh"
source "$HERE/lib/notice.sh"
source "$HERE/lib/designer.sh"
WORK=$(mktemp -d)
LAYOUT="$WORK/gallery.txt"
cp "$HERE/../../gallery/frmGallery.txt" "$LAYOUT"

NOTICE_ERR="$WORK/stderr.txt"
"$BIN/formview" --design "$LAYOUT" 2>"$NOTICE_ERR" &
NOTICE_PID=$!
TITLE="gallery.txt - formview designer"
wait_window
window_geometry
IX=$WX IY=$WY
TITLE="Lumivane controls"
wait_window
window_geometry
FX=$WX FY=$WY

saved_context() { grep -A8 'btnNormalPic:' "$LAYOUT"; }
# Moves to a point of the form's client area (or the inspector's), then does the rest (click 1...).
form() { local x=$1 y=$2; shift 2; xdotool mousemove $((FX + x)) $((FY + y)) "$@"; }
inspector() { local x=$1 y=$2; shift 2; xdotool mousemove $((IX + x)) $((IY + y)) "$@"; }
settle() { sleep 0.2; }  # lets the designer take one step of a drag before the next, as a hand does
# The button's place in the form: its panel is at 8, 8.
button() { grep -A4 'object btnNormalPic:' "$LAYOUT"; }

# Saved unchanged: the writer's text, from which the diff is taken.
form 4 4 click 1
xdotool key ctrl+s
saved 'object btnNormalPic: TImButton' && saved '^  Width = 1008$'
cp "$LAYOUT" "$WORK/base.txt"
button | grep -q 'Left = 130' || fail "the base does not have the button at 130: $(button)"

# Dragged from (130, 48) by (700, 78): Left 830 and Top 126 go to the grid, 832 and 128.
form $((8 + 130 + 20)) $((8 + 48 + 10)) mousedown 1
for step in 1 2 3 4 5 6 7 8 9 10; do
    settle
    form $((158 + 70 * step)) $((66 + 78 * step / 10))
done
settle
xdotool mouseup 1
# The inspector's title marks the unsaved change, and loses the mark once saved.
titled() {
    local i
    for i in $(seq 1 100); do
        [ -n "$("$BIN/xfindwin" "$1" 2>/dev/null)" ] && return 0
        sleep 0.1
    done
    fail "no window titled '$1'"
}
titled "*gallery.txt - formview designer"
xdotool key ctrl+s
saved '^      Left = 832$'
titled "gallery.txt - formview designer"
# Two pixels right and one down.
xdotool key Right Right Down ctrl+s
saved '^      Left = 834$' && saved '^      Top = 129$'
# The bottom right handle (at 834 + 120, 129 + 26 in the panel) dragged by (10, 8): its edges go
# to the grid at 968 and 160.
form $((8 + 954)) $((8 + 155))
settle
xdotool mousedown 1
settle
form $((8 + 958)) $((8 + 159))
settle
form $((8 + 964)) $((8 + 163))
settle
xdotool mouseup 1
settle
xdotool key ctrl+s
saved '^      Width = 134$' && saved '^      Height = 31$'

# The inspector: the filter at (70, 8), the first property's edit at (138, 64).
inspector 150 19 click 1
settle
xdotool type Caption
settle
inspector 200 75 click 1
settle
xdotool key ctrl+a type 'Moved'
xdotool key Return ctrl+s
saved "^      Caption = 'Moved'$"
inspector 150 19 click 1
xdotool key ctrl+a type Looks
settle
inspector 200 75 click 1
settle
xdotool key ctrl+a type ibkFlat
xdotool key Return ctrl+s
saved '^      Looks = ibkFlat$'

# The palette (its first place at 8, 792 when the filter leaves one class), then the hyperlink
# panel (at 500, 200) at (300, 40) of its own.
inspector 150 19 click 1
xdotool key ctrl+a type TValidateEdit
settle
inspector 80 804 click 1
settle
form $((500 + 300)) $((200 + 40)) click 1
settle
xdotool key ctrl+s
saved 'object ValidateEdit1: TValidateEdit'
xdotool key ctrl+z
settle
xdotool key ctrl+s
saved -v 'ValidateEdit1'
xdotool key ctrl+shift+z
settle
xdotool key ctrl+s
saved 'object ValidateEdit1: TValidateEdit'
settle
shoot "$WORK/designer.png" >/dev/null 2>&1
import -window root "$WORK/screen.png" 2>/dev/null

# Exactly those changes: the edit's block (its lines are its defaults), and the button's lines.
awk '/^    object ValidateEdit1: TValidateEdit$/ { skip = 1 } !skip; skip && /^    end$/ { skip = 0 }' "$LAYOUT" >"$WORK/without.txt"
cmp -s "$WORK/without.txt" "$LAYOUT" && fail "the edit's block is not in the saved layout"
diff "$WORK/base.txt" "$WORK/without.txt" >"$WORK/diff.txt"
removed=$(grep '^<' "$WORK/diff.txt")
want_removed=$(printf '%s\n' '<       Left = 130' '<       Top = 48' '<       Width = 120' '<       Height = 26' "<       Caption = 'Normal'")
[ "$removed" = "$want_removed" ] || fail "lines went that were not changed: $removed"
added=$(grep '^>' "$WORK/diff.txt")
# The flat look has no focus rectangle: the writer says so, as for any button given that look.
want_added=$(printf '%s\n' '<       Left = 834' '<       Top = 129' '<       Width = 134' '<       Height = 31' "<       Caption = 'Moved'" \
    '<       FocusRect = False' '<       Looks = ibkFlat' | sed 's/^</>/')
[ "$added" = "$want_added" ] || fail "lines came that were not changed: $added"
grep -A3 'object ValidateEdit1' "$LAYOUT" | grep -q '^      Left = 304$' || fail "the edit is not at 304 in its panel: $(grep -A4 ValidateEdit1 "$LAYOUT")"
awk '/object pnlLinks:/ { p = 1 } p && /object ValidateEdit1:/ { found = 1 } /^  end$/ { p = 0 } END { exit !found }' "$LAYOUT" ||
    fail "the edit is not in the hyperlink panel"

# The saved layout loads, and a click where the button was put (its centre, in the form) reaches it.
printf 'click %d %d\n' $((8 + 834 + 67)) $((8 + 129 + 15)) >"$WORK/click.txt"
"$BIN/formshot" "$LAYOUT" --events "$WORK/click.txt" --trace --png "$WORK/saved.png" >"$WORK/trace.txt" ||
    fail "formshot does not load the saved layout: $(cat "$WORK/trace.txt")"
grep -q '^event: btnNormalPic\.OnClick()$' "$WORK/trace.txt" || fail "the click did not reach the moved button: $(grep event "$WORK/trace.txt" | head)"

# Ended as when its window is closed: nothing unsaved, nothing asked.
kill "$NOTICE_PID"
wait "$NOTICE_PID"
status=$?
[ "$status" -eq 0 ] || fail "formview ended with status $status: $(cat "$NOTICE_ERR")"
rm -rf "$WORK"
echo "formview --design: dragged, moved, resized, edited, added, undone, redone and saved as the writer writes it"
