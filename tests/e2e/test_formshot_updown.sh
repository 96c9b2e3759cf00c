#!/usr/bin/env bash
# The form tool renders up-down edits of the four border styles: at rest, with the pointer on an
# up button (hot), with the left button held on it (pressed) and with the focus in the edit after
# the release, each matching its golden image. Scripts step the values by keys and by holding an
# arrow button, and the values round-trip at both ends of the 64-bit range.
# Usage: test_formshot_updown.sh BIN_DIR   (LUMI_UPDATE_GOLDEN=1 rewrites the golden images)
set -eu
source "$(dirname "$0")/lib/formshot.sh"
FORM="$FORMS/updown_edits.txt"

"$BIN/formshot" "$FORM" --png "$out/rest.png" >/dev/null
golden "$FORMS" updown_rest "$out/rest.png"

# Each edit's up button at (left + 112, top + 5); the pointer ends at (100, 80), away from all.
for edit in "normal 8 8" "flat 144 8" "ultraflat 8 36" "none 144 36"; do
    set -- $edit
    name=$1 x=$(($2 + 112)) y=$(($3 + 5))
    cat >"$out/$name.script" <<SCRIPT
move $x $y
shot $out/${name}_hot.png
down
shot $out/${name}_pressed.png
up
move 100 80
shot $out/${name}_focused.png
SCRIPT
    "$BIN/formshot" "$FORM" --events "$out/$name.script" >/dev/null
    for state in hot pressed focused; do
        golden "$FORMS" "updown_${name}_$state" "$out/${name}_$state.png"
    done
    # With the default colours only the ultra-flat separators show the pointer.
    changed="pressed focused"
    case $name in ultraflat | none) changed="hot $changed" ;; esac
    for state in $changed; do
        cmp -s "$out/${name}_$state.png" "$out/rest.png" && fail "$name looks the same $state as at rest"
    done
done

# Keys step the focused edit and clamp at its limits (0..10, from 5); a held down button steps at
# once and then every tick from the ninth: 11 steps in 1000 ms, wrapping past the lowest value.
cat >"$out/steps.script" <<'SCRIPT'
click 40 18
key up
key up
key down
keydown up
keydown up
keydown up
keydown up
keyup up
move 256 51
down
wait 1000
up
move 120 41
down
wait 100
up
SCRIPT
"$BIN/formshot" "$FORM" --events "$out/steps.script" --dump >"$out/steps.txt"
value_of() { awk -v n="$1" '$1 == "object" { cur = $2 } cur == n":" && $1 == "Value" { print $3 }' "$out/steps.txt"; }
[ "$(value_of Normal)" = 10 ] || fail "keys: Normal reads $(value_of Normal), not 10"
[ "$(value_of NoBorder)" = 9223372036854775797 ] || fail "held down button: NoBorder reads $(value_of NoBorder)"
[ "$(value_of UltraFlat)" = 9223372036854775807 ] || fail "short press: UltraFlat reads $(value_of UltraFlat)"
grep -qF "Text = '9223372036854775797'" "$out/steps.txt" || fail "the text does not follow the value"

# The layout written back reads back to the same layout, both ends of the range included.
"$BIN/formshot" "$FORM" --dump >"$out/once.txt"
"$BIN/formshot" "$out/once.txt" --dump >"$out/twice.txt"
cmp -s "$out/once.txt" "$out/twice.txt" || fail "the written layout does not read back the same: $(diff "$out/once.txt" "$out/twice.txt")"
grep -qF "Value = -9223372036854775808" "$out/once.txt" || fail "the lowest value was not written back"
echo "formshot updown: golden images of four styles in four states, key and held-button steps, round trip agree"
