#!/usr/bin/env bash
# The form tool loads validating edits of every border style (enabled and disabled) and of
# several kinds: the four frames at rest, hot, focused and disabled match their golden images;
# typed keys and a clipboard pasted with Ctrl+V go through each edit's filter; --dump shows each
# edit's Text and keeps the stored custom set and colour.
# Usage: test_formshot_validate.sh BIN_DIR   (LUMI_UPDATE_GOLDEN=1 rewrites the golden images)
set -eu
source "$(dirname "$0")/lib/formshot.sh"
FORM="$FORMS/validate_edits.txt"

"$BIN/formshot" "$FORM" --png "$out/rest.png" --dump >"$out/rest.txt"
golden "$FORMS" validate_edits "$out/rest.png"

# The enabled edits stand at x 10, y 10 + 30 i (121 x 21); the pointer goes to one's frame edge,
# then a click on it takes the focus and the pointer leaves.
i=0
for style in none normal flat ultraflat; do
    y=$((10 + 30 * i))
    printf 'move 11 %d\nshot %s\nclick 60 %d\nmove 270 150\n' "$((y + 1))" "$out/hot_$style.png" "$((y + 10))" \
        >"$out/$style.script"
    "$BIN/formshot" "$FORM" --events "$out/$style.script" --png "$out/focused_$style.png" >/dev/null
    golden "$FORMS" "validate_edits_hot_$style" "$out/hot_$style.png"
    golden "$FORMS" "validate_edits_focused_$style" "$out/focused_$style.png"
    i=$((i + 1))
done
cmp -s "$out/hot_ultraflat.png" "$out/rest.png" && fail "the ultra-flat frame does not show the pointer"
cmp -s "$out/hot_normal.png" "$out/rest.png" || fail "the pointer changed the normal frame"

text_of() { sed -n "/object $1:/,/^  end/p" "$2" | sed -n "s/^    Text = //p"; }
[ "$(text_of EdNormal "$out/rest.txt")" = "'3.14'" ] || fail "dump: $(cat "$out/rest.txt")"
grep -q "^    ValidateString = 'a-z '$" "$out/rest.txt" || fail "the custom set was not kept"
grep -q "^    Colors.HotColor = clRed$" "$out/rest.txt" || fail "the hot colour was not kept"

cat >"$out/input.script" <<EOF
click 60 50
key end
type x.5-
click 60 20
key end
clipboard 12ab-3
key ctrl+v
click 60 80
key end
clipboard cafe!xyz
key ctrl+v
click 60 110
key end
type Hi there
click 200 50
type 7
EOF
"$BIN/formshot" "$FORM" --events "$out/input.script" --dump >"$out/input.txt"
for want in "EdNormal '3.145'" "EdNone '-42123'" "EdFlat 'BEEFCAFE'" "EdUltraFlat 'abci there'" "OffNormal 'off'"; do
    name=${want%% *}
    got=$(text_of "$name" "$out/input.txt")
    [ "$got" = "${want#* }" ] || fail "$name holds $got, expected ${want#* }"
done
echo "formshot validate: frames match their golden images; typing and pasting are filtered; the dump keeps the set"
