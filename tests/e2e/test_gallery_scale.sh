#!/usr/bin/env bash
# The gallery on a display of scale 2 (LUMIVANE_SCALE=2): its client area maps at twice its size,
# shows what `formshot --scale 2` draws, and a click at an image button's 2x place clicks it.
# Usage: test_gallery_scale.sh BIN_DIR
set -u
BIN=$(cd "$1" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
SRC=${LUMI_SOURCE_DIR:-$(cd "$HERE/../.." && pwd)}
export XVFB_SCREEN=2400x1800x24 # room for the 2000x1560 window
source "$HERE/lib/xvfb.sh"
source "$HERE/lib/gallery.sh"
OUT=${LUMI_TEST_OUTPUT:-$(mktemp -d)}
mkdir -p "$OUT"

export LUMIVANE_SCALE=2
start_gallery "$OUT/events.txt"
info=$(xwininfo -id "$WIN")
size="$(echo "$info" | awk '/Width:/ {print $2}')x$(echo "$info" | awk '/Height:/ {print $2}')"
[ "$size" = 2000x1560 ] || fail "client area is $size, not 2000x1560"

# What the display shows is what formshot draws at scale 2 (the pointer away, in a corner).
xdotool mousemove $((WX + 1990)) $((WY + 1550))
sleep 0.5
import -window root -crop "2000x1560+$WX+$WY" +repage "$OUT/gallery_2x_shown.png"
printf 'move 995 775\n' >"$OUT/rest.script"
"$BIN/formshot" "$SRC/gallery/frmGallery.txt" --scale 2 --events "$OUT/rest.script" --png "$OUT/gallery_2x_formshot.png" >/dev/null ||
    fail "formshot could not draw the gallery"
diff=$(compare -metric AE "$OUT/gallery_2x_shown.png" "$OUT/gallery_2x_formshot.png" "$OUT/gallery_2x_diff.png" 2>&1)

[ "$diff" = 0 ] || fail "the display shows other pixels than formshot --scale 2 draws ($diff differ): see $OUT/gallery_2x_diff.png"

# The "Normal" image button covers logical 138..257 by 56..81: device 276..515 by 112..163. A
# click on the last device column left of it misses it; one on its first column clicks it.
clicks() { grep -c '^btnNormalPic: OnClick' "$OUT/events.txt"; }
xdotool mousemove $((WX + 275)) $((WY + 138)) click 1
sleep 0.5
[ "$(clicks)" = 0 ] || fail "a click left of the button clicked it"
xdotool mousemove $((WX + 276)) $((WY + 138)) click 1
for i in $(seq 1 100); do [ "$(clicks)" = 1 ] && break; sleep 0.05; done
[ "$(clicks)" = 1 ] || fail "a click at the button's 2x place did not click it (events: $(tail -n 3 "$OUT/events.txt" | tr '\n' '|'))"
gallery_alive
echo "gallery at scale 2: all good"
