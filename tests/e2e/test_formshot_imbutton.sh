#!/usr/bin/env bash
# The form tool renders a button of each look as its golden image, then hovers the XP button,
# presses it, drags off and back and releases: hot, pushed, focused-only, pushed again and hot
# faces in turn, and exactly one click.
# Usage: test_formshot_imbutton.sh BIN_DIR   (LUMI_UPDATE_GOLDEN=1 rewrites the golden images)
set -eu
source "$(dirname "$0")/lib/formshot.sh"
FORM="$FORMS/imbutton_looks.txt"

same() { cmp -s "$1" "$2" || fail "$3"; }
differ() { cmp -s "$1" "$2" && fail "$3"; true; }

"$BIN/formshot" "$FORM" --png "$out/plain.png" >/dev/null
golden "$FORMS" imbutton_looks "$out/plain.png"

# The XP button lies at (180, 50), 75 x 25.
cat >"$out/press.script" <<EOF
move 200 62
shot $out/hot.png
down
shot $out/pushed.png
move 200 110
shot $out/off.png
move 205 62
shot $out/back.png
up
shot $out/released.png
EOF
"$BIN/formshot" "$FORM" --events "$out/press.script" --trace >"$out/trace.txt"
golden "$FORMS" imbutton_looks_hot "$out/hot.png"
golden "$FORMS" imbutton_looks_pushed "$out/pushed.png"
differ "$out/hot.png" "$out/plain.png" "hovering changed nothing"
differ "$out/off.png" "$out/pushed.png" "dragged off, the button still looks pushed"
differ "$out/off.png" "$out/hot.png" "dragged off, the button still looks hot"
same "$out/back.png" "$out/pushed.png" "back over the button it does not look pushed again"
same "$out/released.png" "$out/hot.png" "released, the button does not look hot"

clicks=$(grep -c '^event: BtnClose\.OnClick()$' "$out/trace.txt" || true)
[ "$clicks" = 1 ] || fail "expected one click, got $clicks: $(cat "$out/trace.txt")"
grep -q '^event: BtnClose\.OnMouseLeave()$' "$out/trace.txt" || fail "dragging off did not leave the button"
echo "formshot imbutton: looks, hot and pushed faces match; drag off and back clicks once"
