#!/usr/bin/env bash
# The notice window rendered headless (pinned fonts) against its golden images: at rest, with the
# pointer over each link, over the button, with the button pressed, and enlarged to 600x420; at
# rest and with the button hot on a display of scale 2 (text rendered at twice its size).
# Usage: test_notice_golden.sh BIN_DIR   (LUMI_UPDATE_GOLDEN=1 rewrites the golden images)
set -eu
BIN=$(cd "$1" && pwd)
SRC=${LUMI_SOURCE_DIR:-$(cd "$(dirname "$0")/../.." && pwd)}
source "$SRC/tests/e2e/lib/golden.sh"
GOLD="$SRC/tests/data/notice"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
export GOLDEN_OUT=${LUMI_TEST_OUTPUT:-$BIN}
# A cache folder of its own: the first picture is drawn with fresh glyphs, the rest with the ones
# the first run kept.
export LUMIVANE_CACHE="$out/cache"

shot() { # name script-lines...   (SCALE=N for a display of that scale)
    local name=$1
    shift
    printf '%s\n' "$@" >"$out/$name.script"
    "$BIN/formshot" "$SRC/app/frmMain.txt" --scale "${SCALE:-1}" --events "$out/$name.script" --png "$out/$name.png" >"$out/$name.out"
    golden "$GOLD" "$name" "$out/$name.png"
}

shot rest "move 470 330"
kept=$(stat -c %i "$LUMIVANE_CACHE"/glyphs-*) || { echo "FAIL: no glyphs kept" >&2; exit 1; }
shot download_hot "move 40 225"
shot homepage_hot "move 40 258"
shot button_hot "move 366 257"
shot button_pushed "move 366 257" "down"
shot enlarged "move 590 410" "resize 600 420"

[ "$(stat -c %i "$LUMIVANE_CACHE"/glyphs-*)" = "$kept" ] || { echo "FAIL: later runs drew glyphs anew" >&2; exit 1; }
# Twice the size: glyphs of fonts twice as big, drawn after the check above.
SCALE=2 shot rest_2x "move 470 330"
SCALE=2 shot button_hot_2x "move 366 257"
[ "$(identify -format %wx%h "$out/rest_2x.png")" = 956x668 ] || { echo "FAIL: 2x picture is not 956x668" >&2; exit 1; }

# The press released over the button clicks it once: the window's handler closes it.
printf 'click 366 257\n' >"$out/click.script"
"$BIN/formshot" "$SRC/app/frmMain.txt" --events "$out/click.script" --trace >"$out/click.out"
[ "$(grep -c '^event: btnClose\.OnClick()$' "$out/click.out")" = 1 ] || { echo "FAIL: click: $(cat "$out/click.out")" >&2; exit 1; }
echo "notice golden images: all match"
