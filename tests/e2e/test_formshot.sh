#!/usr/bin/env bash
# The form tool: a plain form with a label, a button, an image, a panel and an edit renders as its
# golden image; typed, pasted and selected text reaches the dump; --trace reports one OnClick for a
# click and none for a press dragged off the button; bad script lines exit 2, broken or missing
# forms exit 1. Needs no display.
# Usage: test_formshot.sh BIN_DIR   (LUMI_UPDATE_GOLDEN=1 rewrites the golden image)
set -eu
source "$(dirname "$0")/lib/formshot.sh"
FORM="$FORMS/plain.txt"


"$BIN/formshot" --help | grep -q '^usage: formshot' || fail "--help"

"$BIN/formshot" "$FORM" --png "$out/plain.png" >"$out/plain.txt"
[ ! -s "$out/plain.txt" ] || fail "unexpected output: $(cat "$out/plain.txt")"
golden "$FORMS" plain "$out/plain.png"

# Typed, then the first two characters selected and replaced by a paste.
cat >"$out/edit.script" <<'SCRIPT'
# into the edit
click 20 40
type Hello Wörld
key Home
key shift+Right
key shift+Right
clipboard XY
key ctrl+v
SCRIPT
"$BIN/formshot" "$FORM" --events "$out/edit.script" --dump >"$out/edit.txt"
grep -qxF "    Text = 'XYllo Wörld'" "$out/edit.txt" || fail "edit text not in the dump: $(grep -A12 Edit1 "$out/edit.txt")"
grep -q '^object Form1: TForm$' "$out/edit.txt" || fail "dump header"
"$BIN/formshot" "$FORM" --dump-all | grep -qx '  BorderStyle = bsSizeable' || fail "--dump-all leaves out defaults"

# One OnClick for a click; none for a press dragged off before the release.
printf 'click 180 130\n' >"$out/click.script"
"$BIN/formshot" "$FORM" --events "$out/click.script" --trace >"$out/click.txt"
[ "$(grep -c '^event: Button1\.OnClick()$' "$out/click.txt")" = 1 ] || fail "click: $(cat "$out/click.txt")"
printf 'move 180 130\ndown\nmove 100 20\nup\n' >"$out/drag.script"
"$BIN/formshot" "$FORM" --events "$out/drag.script" --trace >"$out/drag.txt"
grep -q '^event: Button1\.OnMouseDown(' "$out/drag.txt" || fail "the press was not seen: $(cat "$out/drag.txt")"
! grep -q 'OnClick' "$out/drag.txt" || fail "a dragged-off press clicked: $(cat "$out/drag.txt")"

# Enter presses the default button wherever the focus is.
printf 'click 20 40\nkey Return\n' >"$out/enter.script"
"$BIN/formshot" "$FORM" --events "$out/enter.script" --trace | grep -q '^event: Button1\.OnClick()$' ||
    fail "Enter did not press the default button"

# A shot in the middle of a script is the picture of that moment.
printf 'shot %s\nclick 20 40\ntype abc\n' "$out/early.png" >"$out/shot.script"
"$BIN/formshot" "$FORM" --events "$out/shot.script" --png "$out/late.png" >/dev/null
cmp -s "$out/early.png" "$out/plain.png" || fail "the early shot differs from the plain rendering"
cmp -s "$out/late.png" "$out/plain.png" && fail "typing changed nothing on the picture"

# Bad script lines: status 2 and the line.
expect_status() {
    local want=$1 what=$2
    shift 2
    local status=0
    "$BIN/formshot" "$@" >"$out/stdout" 2>"$out/stderr" || status=$?
    [ "$status" = "$want" ] || fail "$what: status $status, expected $want ($(cat "$out/stderr"))"
}
for bad in 'jump 1 2' 'click 1' 'click a b' 'key NoSuchKey' 'wait -5' 'down middle' 'type'; do
    printf '# fine\nmove 1 1\n%s\n' "$bad" >"$out/bad.script"
    expect_status 2 "script '$bad'" "$FORM" --events "$out/bad.script"
    grep -q 'line 3: ' "$out/stderr" || fail "no line number for '$bad': $(cat "$out/stderr")"
done
expect_status 2 "unknown option" "$FORM" --frobnicate
expect_status 2 "no form" 

# Broken and missing forms: status 1 with the reader's line.
printf 'object Form1: TForm\n  Left = 1\n  Nonsense = 3\nend\n' >"$out/broken.txt"
expect_status 1 "broken form" "$out/broken.txt"
grep -q 'line 3' "$out/stderr" || fail "the error does not name the line: $(cat "$out/stderr")"
printf 'object Form1: TForm\n  object X: TNoSuchControl\n  end\nend\n' >"$out/unknown.txt"
expect_status 1 "unknown class" "$out/unknown.txt"
expect_status 1 "missing form" "$out/does-not-exist.txt"
grep -q 'does-not-exist.txt' "$out/stderr" || fail "missing file not named"
expect_status 1 "missing script" "$FORM" --events "$out/does-not-exist.script"
echo "formshot: golden image, dump, trace and failures agree"
