#!/usr/bin/env bash
# The form tool renders a layout holding a background image, a tri-state image and a link:
# the plain form and the form with the pointer on the link match their golden images, a click on
# the link asks the shell for its address once, and the image reports turning hot.
# Usage: test_formshot_lib_a.sh BIN_DIR   (LUMI_UPDATE_GOLDEN=1 rewrites the golden images)
set -eu
source "$(dirname "$0")/lib/formshot.sh"
FORM="$FORMS/lib_a_controls.txt"


"$BIN/formshot" "$FORM" --png "$out/plain.png" >"$out/plain.txt"
golden "$FORMS" lib_a_controls "$out/plain.png"

# The pointer on the link turns it red; leaving it again turns it blue.
printf 'move 40 78\n' >"$out/hot.script"
"$BIN/formshot" "$FORM" --events "$out/hot.script" --png "$out/hot.png" >/dev/null
golden "$FORMS" lib_a_controls_link_hot "$out/hot.png"
cmp -s "$out/hot.png" "$out/plain.png" && fail "the link looks the same with the pointer on it"
printf 'move 40 78\nmove 200 110\n' >"$out/back.script"
"$BIN/formshot" "$FORM" --events "$out/back.script" --png "$out/back.png" >/dev/null
cmp -s "$out/back.png" "$out/plain.png" || fail "the link did not return to its own colour"

# A click opens the address exactly once and still fires OnClick.
printf 'click 40 78\n' >"$out/click.script"
"$BIN/formshot" "$FORM" --events "$out/click.script" --trace >"$out/click.txt"
want='open: http://draventa.example/download/LumivaneSetup.exe'
[ "$(grep -c '^open: ' "$out/click.txt")" = 1 ] || fail "expected one shell request, got: $(cat "$out/click.txt")"
grep -qxF "$want" "$out/click.txt" || fail "wrong address: $(grep '^open: ' "$out/click.txt")"
[ "$(grep -c '^event: KdUrlLabel1\.OnClick()$' "$out/click.txt")" = 1 ] || fail "expected one OnClick: $(cat "$out/click.txt")"

# The first move over the image makes it hot, once.
printf 'move 40 32\nmove 41 33\n' >"$out/image.script"
"$BIN/formshot" "$FORM" --events "$out/image.script" --trace >"$out/image.txt"
[ "$(grep -c '^event: ImImage1\.OnImStatusChanged(1, 0)$' "$out/image.txt")" = 1 ] ||
    fail "expected one hot report: $(cat "$out/image.txt")"
echo "formshot lib_a: golden images, link address and image state agree"
