#!/usr/bin/env bash
# The control gallery under Xvfb: a click on a button of each look, on a tri-state image and a
# pointer on a link each write their event on the window's bottom line (and standard output); the
# button, image, link and event line show exactly what formshot draws for the same input; the
# link turns red; the heart's context menu opens on a right click and its item is chosen; a star
# dragged onto another is dropped there; closing the window ends the program with status 0.
# Usage: test_gallery.sh BIN_DIR
set -u
BIN=$(cd "$1" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
SRC=${LUMI_SOURCE_DIR:-$(cd "$HERE/../.." && pwd)}
source "$HERE/lib/xvfb.sh"
source "$HERE/lib/notice.sh"
TITLE="Lumivane controls"
OUT=$(mktemp -d)
FAKE=$(mktemp -d)
printf '#!/bin/sh\nexit 0\n' >"$FAKE/xdg-open"
chmod +x "$FAKE/xdg-open"
export PATH="$FAKE:$PATH"

# Client coordinates: the first row of buttons (one of each look), an image, a link, the event line.
buttons=(btnNormalPic:198 btnFlatPic:338 btnBevelPic:478 btnUltraPic:618 btnFullPic:758 btnXPPic:898)
ROW_Y=69
IMAGE="48 250"
LINK="560 243"
EVENTS="1000x28+0+752"

# The same input played headless gives the reference pictures.
{
    for b in "${buttons[@]}"; do echo "click ${b#*:} $ROW_Y"; echo "shot $OUT/ref_${b%%:*}.png"; done
    echo "move $IMAGE"; echo "shot $OUT/ref_image_hot.png"
    echo "click $IMAGE"; echo "shot $OUT/ref_image_click.png"
    echo "move $LINK"; echo "shot $OUT/ref_link.png"
} >"$OUT/steps.script"
"$BIN/formshot" "$SRC/gallery/frmGallery.txt" --events "$OUT/steps.script" >/dev/null ||
    fail "formshot could not play the steps"

crop() { convert "$1" -crop "$2" +repage -depth 8 rgb:- | md5sum; }
# The window's area (client coordinates) as shown now, against the same area of the reference.
same_area() { # what area reference
    [ "$(convert "$3" -crop "$2" +repage -format '%wx%h' info:)" = "${2%%+*}" ] || fail "$1: no area $2 in the reference"
    local size=${2%%+*} x=${2#*+}
    local y=${x#*+}
    x=${x%%+*}
    import -window root -crop "$size+$((WX + x))+$((WY + y))" +repage "$OUT/x.png"
    [ "$(crop "$OUT/x.png" "$size+0+0")" = "$(crop "$3" "$2")" ] ||
        { cp "$OUT/x.png" "$OUT/$1_x.png"; fail "$1: area $2 differs from formshot's picture (see $OUT)"; }
}
last_event() { tail -n 1 "$OUT/stdout.txt"; }
step() { # expected-event
    sleep 0.4
    [ "$(last_event)" = "$1" ] || fail "expected the event '$1', the last one was '$(last_event)'"
}

NOTICE_ERR=$(mktemp)
"$BIN/lumivane-gallery" >"$OUT/stdout.txt" 2>"$NOTICE_ERR" &
NOTICE_PID=$!
wait_window
window_geometry
[ "$WW" = 1000 ] && [ "$WH" = 780 ] || fail "the window is ${WW}x${WH}, expected 1000x780"
at() { xdotool mousemove $(( WX + $1 )) $(( WY + $2 )); }

for b in "${buttons[@]}"; do
    name=${b%%:*} x=${b#*:}
    at "$x" "$ROW_Y"
    xdotool click 1
    step "$name: OnClick"
    same_area "$name" "124x30+$(( x - 62 ))+$(( ROW_Y - 15 ))" "$OUT/ref_$name.png"
    same_area "$name-event" "$EVENTS" "$OUT/ref_$name.png"
done

at $IMAGE
step "ImImage1: status 0 -> 1"
same_area image-hot "40x40+28+230" "$OUT/ref_image_hot.png"
xdotool click 1
step "ImImage1: OnClick"
same_area image-click "$EVENTS" "$OUT/ref_image_click.png"

at $LINK
step "lnkHome: OnMouseEnter"
same_area link-event "$EVENTS" "$OUT/ref_link.png"
same_area link "160x20+520+234" "$OUT/ref_link.png"
shoot "$OUT/link.png" "160x20+520+234"
red=$(awk '$3 == "255,0,0" { n++ } END { print n + 0 }' "$OUT/link.png.txt")
[ "$red" -gt 40 ] || fail "the link under the pointer is not red ($red red pixels)"

# The heart's context menu: a right click opens it at the pointer, a click on its first item
# ("Hello", a frame and half an item below the pointer) chooses it.
at 384 250
xdotool click 3
sleep 0.4
xdotool mousemove_relative -- 40 12
sleep 0.2
xdotool click 1
step "mnuHello: OnClick"

# A picture dragged onto another: press on the second star, move past the threshold, release
# on the third.
at 150 250
xdotool mousedown 1
sleep 0.2
at 170 250
sleep 0.2
at 260 250
sleep 0.2
xdotool mouseup 1
step "ImImage3: OnDragDrop from ImImage2"

"$BIN/xclose" "$WIN" || fail "could not ask the window to close"
wait_exit
[ "$STATUS" -eq 0 ] || fail "closing the window: status $STATUS ($(cat "$NOTICE_ERR"))"
rm -rf "$OUT" "$FAKE"
echo "gallery: six looks, an image and a link fire their events and look as formshot draws them; a context menu item and a drag between pictures fire theirs; closed with 0"
