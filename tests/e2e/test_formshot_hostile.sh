#!/usr/bin/env bash
# The form tool against hostile input: a table of script lines (refused with their line, or
# played), forms whose values the window system cannot honour (refused with their line), a byte
# order mark, a very long typed line and a 100,000-character paste typed around that work, and
# the trace keeping the real order of a link's shell request and its OnClick. Needs no display.
# Usage: test_formshot_hostile.sh BIN_DIR
set -eu
source "$(dirname "$0")/lib/formshot.sh"

run() {
    status=0
    "$BIN/formshot" "$@" >"$out/stdout" 2>"$out/stderr" || status=$?
}

printf 'object F: TForm\n  ClientWidth = 200\n  ClientHeight = 100\nend\n' >"$out/plain.txt"

# Script lines: "STATUS|LINE|EXPECTED TEXT" (status 0: played; line 3 of each script is the one).
while IFS='|' read -r want text line; do
    printf '# first\nmove 1 1\n%s\n' "$line" >"$out/bad.script"
    run "$out/plain.txt" --events "$out/bad.script"
    [ "$status" = "$want" ] || fail "'$line': status $status, expected $want ($(cat "$out/stderr"))"
    [ -z "$text" ] || grep -qF "$text" "$out/stderr" || fail "'$line': expected '$text', got: $(cat "$out/stderr")"
done <<'TABLE'
2|line 3: bad coordinates|click -2147483648 -2147483648
2|line 3: bad coordinates|click 2147483647 0
2|line 3: bad coordinates|move -100001 5
2|line 3: bad coordinates|dblclick 5 100001
0||move -100000 100000
2|line 3: bad size|resize 16384 16384
2|line 3: bad size|resize 0 10
2|line 3: bad size|resize -2147483648 10
0||resize 8192 1
2|line 3: bad time|wait 2147483647
2|line 3: unknown command|9abc
TABLE

# A byte order mark before the first command is no command.
printf '\xEF\xBB\xBFmove 1 1\nclick 2 2\n' >"$out/bom.script"
run "$out/plain.txt" --events "$out/bom.script"
[ "$status" = 0 ] || fail "script with a byte order mark: $(cat "$out/stderr")"

# A typed line of 150,000 characters is played.
{ printf 'type '; head -c 150000 /dev/zero | tr '\0' 'x'; printf '\n'; } >"$out/long.script"
run "$out/plain.txt" --events "$out/long.script"
[ "$status" = 0 ] || fail "long type line: $(cat "$out/stderr")"

# Menus larger than the screen: 450 items of 2,000 characters, 10,000 items, a caption of
# 100,000 characters. Each opens within the screen and its end is reached, in 300 MB of address
# space (one 8192 x 8192 menu took 531 MB).
menu() {  # COUNT LENGTH
    local caption
    caption=$(head -c "$2" /dev/zero | tr '\0' 'W')
    printf 'object F: TForm\n  ClientWidth = 200\n  ClientHeight = 100\n  object P: TPanel\n'
    printf '    Width = 200\n    Height = 100\n    PopupMenu = M\n  end\n  object M: TPopupMenu\n'
    for ((i = 0; i < $1; i++)); do printf "    object I%d: TMenuItem\n      Caption = '%s'\n    end\n" "$i" "$caption"; done
    printf '  end\nend\n'
}
printf 'click 20 20 right\nkey end\nkey return\n' >"$out/menu.script"
for size in "450 2000" "10000 12" "3 100000"; do
    menu $size >"$out/menu.txt"
    status=0
    (ulimit -v 300000; exec "$BIN/formshot" "$out/menu.txt" --events "$out/menu.script" --trace \
        >"$out/stdout" 2>"$out/stderr") || status=$?
    [ "$status" = 0 ] || fail "menu $size: status $status ($(cat "$out/stderr"))"
    last=$(( ${size%% *} - 1 ))
    grep -qxF "event: I$last.OnClick()" "$out/stdout" || fail "menu $size: the last item was not reached"
done

# A paste of 100,000 characters into a decimal edit, then typing at both of its ends: each key
# lands where it should and the filter still judges against the whole text (one point only).
printf 'object F: TForm\n  ClientWidth = 200\n  ClientHeight = 100\n  object E: TValidateEdit\n    Left = 10\n    Top = 10\n    ValidateType = vtFloat\n  end\nend\n' >"$out/edit.txt"
{ printf 'click 50 20\nclipboard '; head -c 100000 /dev/zero | tr '\0' '4'
  printf '\nkey ctrl+v\ntype 7\nkey backspace\nkey backspace\ntype 1.5\nkey home\ntype 2\nkey end\ntype .9\n'; } >"$out/paste.script"
run "$out/edit.txt" --events "$out/paste.script" --dump
[ "$status" = 0 ] || fail "long paste: $(cat "$out/stderr")"
text=$(sed -n '/^    Text = /,/^  end/p' "$out/stdout" | grep -o "'[^']*'" | tr -d "'\n")
[ "$text" = "2$(head -c 99999 /dev/zero | tr '\0' '4')1.59" ] ||
    fail "long paste and typing at its ends: ${#text} characters, starting '${text:0:8}', ending '${text: -8}'"

# Forms: "LINE|EXPECTED TEXT|PROPERTY LINES" (status 1, the error names the line).
while IFS='|' read -r at text body; do
    printf 'object F: TForm\n%b\nend\n' "$body" >"$out/bad.txt"
    run "$out/bad.txt"
    [ "$status" = 1 ] || fail "form '$body': status $status ($(cat "$out/stderr"))"
    grep -qF "line $at: $text" "$out/stderr" || fail "form '$body': expected 'line $at: $text', got: $(cat "$out/stderr")"
done <<'TABLE'
2|A window's client area can be at most 8192|  Width = 100000
2|A window's client area can be at most 8192|  ClientHeight = 8193
2|A form cannot have a negative size|  Width = -5
2|number out of range for ClientHeight|  ClientHeight = -1
3|number out of range for Left|  object L: TLabel\n    Left = 2147483647\n  end
3|a string cannot hold character #0|  object L: TLabel\n    Caption = 'a'#0'b'\n  end
2|'9abc' is neither a whole number nor a name|  object 9abc: TLabel\n  end
3|a control belongs in a form or another control that holds controls, not in TPopupMenu|  object M: TPopupMenu\n    object L: TLabel\n    end\n  end
TABLE

# The programs' own windows with a handler and none of the controls it uses: refused on line 1
# (a field the layout does not fill), never a handler called on a missing control.
for root in "M: TMain|OnCreate = FormCreate" "G: TGallery|OnCreate = AnyClick" "M: TMain|"; do
    printf 'object %s\n  %s\nend\n' "${root%%|*}" "${root#*|}" >"$out/root.txt"
    for mode in --dump --trace; do
        run "$out/root.txt" $mode
        [ "$status" = 1 ] || fail "layout '$root' $mode: status $status ($(cat "$out/stderr"))"
        grep -qF "line 1: the layout of ${root%%:*} does not fill the field" "$out/stderr" ||
            fail "layout '$root': expected the missing field, got: $(cat "$out/stderr")"
    done
done

# A link's shell request is printed where it happened: before the OnClick that follows it.
printf 'click 40 78\n' >"$out/click.script"
run "$FORMS/lib_a_controls.txt" --events "$out/click.script" --trace
[ "$status" = 0 ] || fail "link click: $(cat "$out/stderr")"
grep -E '^(open:|event: KdUrlLabel1\.OnClick)' "$out/stdout" >"$out/order.txt"
[ "$(head -n1 "$out/order.txt" | cut -c1-5)" = "open:" ] || fail "OnClick printed before the shell request: $(cat "$out/stdout")"
[ "$(wc -l <"$out/order.txt")" = 2 ] || fail "expected one open and one OnClick: $(cat "$out/stdout")"

echo "formshot: hostile scripts and forms refused with their lines; the trace keeps the real order"
