#!/usr/bin/env bash
# The gallery's layout loads in formshot and draws as its golden images: at rest, and with the
# Windows XP button pressed (the pointer on it, the left button held). A section added to the
# gallery changes both: rewrite them with LUMI_UPDATE_GOLDEN=1 and look at them.
# Usage: test_formshot_gallery.sh BIN_DIR
set -eu
source "$(dirname "$0")/lib/formshot.sh"
GOLD="$SRC/tests/data/gallery"
FORM="$SRC/gallery/frmGallery.txt"

"$BIN/formshot" "$FORM" --png "$out/rest.png" >/dev/null
golden "$GOLD" rest "$out/rest.png"

printf 'move 898 69\ndown\nshot %s\nup\n' "$out/pressed.png" >"$out/press.script"
"$BIN/formshot" "$FORM" --events "$out/press.script" --trace >"$out/trace.txt"
golden "$GOLD" pressed "$out/pressed.png"
grep -q '^event: btnXPPic\.OnClick()$' "$out/trace.txt" || fail "the release did not click: $(cat "$out/trace.txt")"
echo "formshot gallery: rest and pressed faces match their golden images"
