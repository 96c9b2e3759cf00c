#!/usr/bin/env bash
# The form tool renders two image panels (the upper one with KeepSelStatus) and plays hover and
# click scripts on them: one image selected and one hot matches its golden image; the pointer on
# a panel's surface, on its inert strip, or gone off the window (after the panel's next cursor
# poll) brings the hot image back to normal; clicks select in the upper panel only. The trace
# reports the images' status changes though no handler is bound, and a traced run paints exactly
# as an untraced one.
# Usage: test_formshot_impanel.sh BIN_DIR   (LUMI_UPDATE_GOLDEN=1 rewrites the golden images)
set -eu
source "$(dirname "$0")/lib/formshot.sh"
FORM="$FORMS/impanel.txt"

same() { cmp -s "$1" "$2" || fail "$3"; }
differ() { cmp -s "$1" "$2" && fail "$3"; true; }
# The image status reports of a trace, one a line: "ImA 1 0".
statuses() { sed -n 's/^event: \(Im[A-Z]\)\.OnImStatusChanged(\([0-9]\), \([0-9]\))$/\1 \2 \3/p' "$1" | tr '\n' ';'; }

"$BIN/formshot" "$FORM" --png "$out/plain.png" --dump >"$out/dump.txt"
golden "$FORMS" impanel "$out/plain.png"
[ "$(grep -c 'KeepSelStatus = True' "$out/dump.txt")" = 1 ] || fail "KeepSelStatus not stored once: $(cat "$out/dump.txt")"
"$BIN/formshot" "$FORM" --png "$out/traced.png" --trace >/dev/null
same "$out/traced.png" "$out/plain.png" "a traced panel paints differently"

# Upper panel at (10, 10): images A, B, C centred at x = 34, 70, 106, y = 34; the inert strip
# at 160..199; bare surface at (140, 52). Lower panel at (10, 70): D and E at y = 94.
cat >"$out/keep.script" <<EOF2
move 34 34
click 34 34
move 70 34
shot $out/sel_hot.png
wait 600
click 70 34
EOF2
"$BIN/formshot" "$FORM" --events "$out/keep.script" --trace >"$out/keep.txt"
golden "$FORMS" impanel_sel_hot "$out/sel_hot.png"
want="ImA 1 0;ImA 0 1;ImA 2 0;ImB 1 0;ImA 0 2;ImB 0 1;ImB 2 0;"
[ "$(statuses "$out/keep.txt")" = "$want" ] || fail "upper panel reports $(statuses "$out/keep.txt"), want $want"

printf 'move 34 94\nclick 34 94\n' >"$out/plain.script"
"$BIN/formshot" "$FORM" --events "$out/plain.script" --trace --png "$out/plain_click.png" >"$out/plain_click.txt"
want="ImD 1 0;ImD 0 1;"
[ "$(statuses "$out/plain_click.txt")" = "$want" ] || fail "lower panel reports $(statuses "$out/plain_click.txt"), want $want"
same "$out/plain_click.png" "$out/plain.png" "a click in the lower panel left something selected"

# Hot, then back to normal by the panel's surface, by the inert strip, and by the poll.
for way in "move 140 52" "move 180 34" "move 300 34
shot $out/gone.png
wait 1000"; do
    printf 'move 34 34\nshot %s\n%s\n' "$out/hot.png" "$way" >"$out/hover.script"
    "$BIN/formshot" "$FORM" --events "$out/hover.script" --png "$out/after.png" >/dev/null
    differ "$out/hot.png" "$out/plain.png" "the image did not turn hot"
    same "$out/after.png" "$out/plain.png" "the image stayed hot after: $way"
done
same "$out/gone.png" "$out/hot.png" "the image went back before the poll"
echo "formshot impanel: golden images match; surface, strip and poll reset; selection kept only where asked"
