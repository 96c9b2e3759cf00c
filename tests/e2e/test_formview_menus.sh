#!/usr/bin/env bash
# formview --design under Xvfb, driven with xdotool: a popup menu's items edited in the menu
# window (an item added after a subitem, moved up, the move undone and redone there, renamed), the
# rename undone on the form, and a disabled button selected by a click and deleted. Each step
# saved; the saved layout holds the items in the tree's order and loads in formshot.
# Usage: test_formview_menus.sh BIN_DIR
set -u
BIN=$(cd "$1" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
XVFB_SCREEN=1280x1024x24
source "$HERE/lib/xvfb.sh"
source "$HERE/lib/notice.sh"
source "$HERE/lib/designer.sh"
WORK=$(mktemp -d)
LAYOUT="$WORK/menus.txt"
cat >"$LAYOUT" <<'LAYOUT'
object Form1: TForm
  Left = 0
  Top = 0
  Caption = 'Menus'
  ClientHeight = 200
  ClientWidth = 300
  object Button1: TButton
    Left = 8
    Top = 8
    Width = 75
    Height = 25
    Caption = 'Off'
    Enabled = False
    PopupMenu = Menu1
  end
  object Menu1: TPopupMenu
    Left = 100
    Top = 100
    object mnuOpen: TMenuItem
      Caption = '&Open'
    end
    object mnuRecent: TMenuItem
      Caption = 'Recent'
      object mnuFile1: TMenuItem
        Caption = 'one.txt'
      end
    end
  end
end
LAYOUT

NOTICE_ERR="$WORK/stderr.txt"
"$BIN/formview" --design "$LAYOUT" 2>"$NOTICE_ERR" &
NOTICE_PID=$!
TITLE="Menus"
wait_window
window_geometry
FX=$WX FY=$WY
form() { local x=$1 y=$2; shift 2; xdotool mousemove $((FX + x)) $((FY + y)) "$@"; }
menus() { local x=$1 y=$2; shift 2; xdotool mousemove $((MX + x)) $((MY + y)) "$@"; }
settle() { sleep 0.3; }
saved_context() { sed -n '/Menu1:/,$p' "$LAYOUT"; }
# The item names in the saved file, in order, on one line.
items() { grep -o 'object [A-Za-z0-9]*: TMenuItem' "$LAYOUT" | awk '{print $2}' | tr -d ':' | tr '\n' ' '; }
# Waits (about 5 s at most) until the saved items are $1; else fails saying $2.
wait_items() {
    for _ in $(seq 1 50); do [ "$(items)" = "$1" ] && return 0; sleep 0.1; done
    fail "$2: $(items)"
}

# The menu's icon at its design place selects it; the menu window shows its tree.
form 110 110 click 1
TITLE="Menu items: Menu1"
wait_window
window_geometry
MX=$WX MY=$WY
# Rows from (8, 70), 22 apart, a level indented 16: mnuFile1 is the third. Add puts a new item
# after the selected one; Up moves it before mnuFile1.
menus 80 125 click 1
settle
menus 30 20 click 1
settle
xdotool key ctrl+s
saved 'object MenuItem1: TMenuItem'
[ "$(items)" = "mnuOpen mnuRecent mnuFile1 MenuItem1 " ] || fail "added out of place: $(items)"
menus 204 20 click 1
settle
xdotool key ctrl+s
wait_items "mnuOpen mnuRecent MenuItem1 mnuFile1 " "not moved up"
# Undone and redone from the menu window itself (a button there has the focus, not a text edit).
xdotool key ctrl+z ctrl+s
wait_items "mnuOpen mnuRecent mnuFile1 MenuItem1 " "Ctrl+Z in the menu window did not undo the move"
xdotool key ctrl+shift+z ctrl+s
wait_items "mnuOpen mnuRecent MenuItem1 mnuFile1 " "Ctrl+Shift+Z in the menu window did not redo the move"
menus 80 125 click 1
settle
# The name field renames the selected item.
menus 150 49 click 1
settle
xdotool key ctrl+a type mnuSave
xdotool key Return ctrl+s
saved 'object mnuSave: TMenuItem'
# Undone on the form (the form's background selects the form, the menu window goes).
form 250 180 click 1
settle
xdotool key ctrl+z ctrl+s
saved 'object MenuItem1: TMenuItem'
# A disabled button takes no clicks, but the designer selects it; Delete removes it.
form 40 20 click 1
settle
xdotool key Delete ctrl+s
saved -v 'object Button1: TButton'
[ "$(items)" = "mnuOpen mnuRecent MenuItem1 mnuFile1 " ] || fail "the items changed: $(items)"
"$BIN/formshot" "$LAYOUT" --png "$WORK/saved.png" >"$WORK/shot.txt" 2>&1 || fail "formshot does not load it: $(cat "$WORK/shot.txt")"

kill "$NOTICE_PID"
wait "$NOTICE_PID"
status=$?
[ "$status" -eq 0 ] || fail "formview ended with status $status: $(cat "$NOTICE_ERR")"
rm -rf "$WORK"
echo "formview --design: menu items added, moved, renamed and undone; a disabled button selected and deleted"
