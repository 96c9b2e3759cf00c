#!/usr/bin/env bash
# The form tool opens context menus and drags: a right click on an edit with a PopupMenu opens
# it (golden image with its submenu open), Shift+F10 opens it from the keyboard and the keys
# choose an item, a click chooses one in the submenu, and a press, moves and a release drag one
# panel onto another, which refuses it. A menu taller than the screen scrolls (golden image of
# it scrolled to its end, a long caption cut with dots), the keys reach its last row, and an
# item's shortcut runs it with the menu closed.
# Usage: test_formshot_menus.sh BIN_DIR   (LUMI_UPDATE_GOLDEN=1 rewrites the golden images)
set -eu
source "$(dirname "$0")/lib/formshot.sh"
FORM="$FORMS/menus_drag.txt"
LONG="$FORMS/menus_long.txt"

# played NAME FORM SCRIPT: plays the script at the form with the trace into $out/NAME.txt.
played() {
    printf "$3" >"$out/$1.script"
    "$BIN/formshot" "$2" --events "$out/$1.script" --trace >"$out/$1.txt"
}
# chosen NAME ITEM: the item's OnClick ran in that play.
chosen() { grep -qxF "event: $2.OnClick()" "$out/$1.txt" || fail "$2 was not chosen: $(cat "$out/$1.txt")"; }

# Right click, then the pointer on "View" opens its submenu.
printf 'click 20 18 right\nmove 40 76\n' >"$out/open.script"
"$BIN/formshot" "$FORM" --events "$out/open.script" --png "$out/open.png" >/dev/null
golden "$FORMS" menus_drag_submenu "$out/open.png"

# From the keyboard: Down selects the first item, End the last one ("Sort"), Enter chooses it.
played keys "$FORM" 'click 20 18\nkey shift+f10\nkey down\nkey end\nkey return\n'
chosen keys mnuSort
grep -q 'event: mnuOpen.OnClick' "$out/keys.txt" && fail "Open was chosen too"

# A click on an item with the mouse, in the submenu.
played mouse "$FORM" 'click 20 18 right\nmove 40 76\nclick 215 76\n'
chosen mouse mnuBig

# Drag one panel onto the other.
printf 'move 40 200\ndown\nmove 60 200\nmove 270 200\nup\n' >"$out/drag.script"
"$BIN/formshot" "$FORM" --events "$out/drag.script" --trace >"$out/drag.txt"
grep -q '^event: Panel1.OnStartDrag(' "$out/drag.txt" || fail "no drag started: $(cat "$out/drag.txt")"
# A layout shown by the tool binds no OnDragOver, so Panel2 refuses the drop: the drag ends
# with no target (the unit tests cover accepted drops).
grep -q 'OnDragDrop' "$out/drag.txt" && fail "a drop without an OnDragOver: $(cat "$out/drag.txt")"
grep -qxF 'event: Panel1.OnEndDrag(0, 0)' "$out/drag.txt" || fail "no end of the drag: $(cat "$out/drag.txt")"

# A menu taller than the screen, scrolled to its end by the keys; its last row is chosen.
printf 'click 20 18 right\nkey end\n' >"$out/long.script"
"$BIN/formshot" "$LONG" --events "$out/long.script" --png "$out/long.png" >/dev/null
golden "$FORMS" menus_long_scrolled "$out/long.png"
played last "$LONG" 'click 20 18 right\nkey end\nkey return\n'
chosen last mnu69

# A shortcut runs its item without the menu: Ctrl+N is Item 65's.
played short "$LONG" 'click 20 18\nkey ctrl+n\n'
chosen short mnu65
echo "formshot menus: golden images, keys, mouse, a long menu, a shortcut and a drag agree"
