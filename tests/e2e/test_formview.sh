#!/usr/bin/env bash
# formview under Xvfb follows the saves of a layout: it shows the layout as formshot draws it;
# after a save that moves a control (written by renaming over the file, as many editors save) it
# shows the moved control; after a save with a broken line it shows the reader's error with the
# line, at the same place; after a save of a window without the controls its handler uses, the
# error and it goes on; after a save that fixes it (written in place) it shows the layout
# again; a FIFO moved onto the file is refused at once and the window keeps answering. Closing
# the window ends it with status 0.
# Usage: test_formview.sh BIN_DIR
set -u
BIN=$(cd "$1" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/lib/xvfb.sh"
source "$HERE/lib/notice.sh"
WORK=$(mktemp -d)
LAYOUT="$WORK/layout.txt"

layout() { # caption panel-left [extra line]
    cat <<EOS
object Form1: TForm
  Left = 100
  Top = 80
  Caption = '$1'
  ClientHeight = 120
  ClientWidth = 240
  Color = clBtnFace
  Font.Charset = ANSI_CHARSET
  Font.Color = clWindowText
  Font.Height = -14
  Font.Name = 'DejaVu Sans'
  Font.Style = []
  object Label1: TLabel
    Left = 10
    Top = 8
    Caption = 'A panel below'
  end
  object Panel1: TPanel
    Left = $2
    Top = 40
    Width = 80
    Height = 50
    Color = clNavy
${3:-}
  end
end
EOS
}

# Waits (about 10 s at most) until the window titled $1 shows what formshot draws for the layout.
expect_view() {
    TITLE=$1
    "$BIN/formshot" "$LAYOUT" --png "$WORK/ref.png" || fail "formshot cannot draw the layout"
    local i want got
    want=$(convert "$WORK/ref.png" -depth 8 rgb:- | md5sum)
    for i in $(seq 1 50); do
        wait_window
        shoot "$WORK/view.png"
        got=$(convert "$WORK/view.png" -depth 8 rgb:- | md5sum)
        [ "$got" = "$want" ] && return 0
        sleep 0.2
    done
    fail "the window '$1' does not show the layout as saved (see $WORK)"
}

layout 'First' 20 >"$LAYOUT"
NOTICE_ERR="$WORK/stderr.txt"
"$BIN/formview" "$LAYOUT" 2>"$NOTICE_ERR" &
NOTICE_PID=$!
expect_view First
X0=$WX Y0=$WY

# Moved: written beside the file and renamed over it.
layout 'Moved' 120 >"$WORK/new.txt"
mv "$WORK/new.txt" "$LAYOUT"
expect_view Moved
[ "$WX,$WY" = "$X0,$Y0" ] || fail "the reloaded window moved from $X0,$Y0 to $WX,$WY"

# Broken: an unknown property on line 24, written in place.
layout 'Broken' 120 '    Nonsense = 3' >"$LAYOUT"
TITLE="formview: $LAYOUT"
wait_window
sleep 0.3
shoot "$WORK/error.png"
[ "$WX,$WY" = "$X0,$Y0" ] || fail "the error window is at $WX,$WY, not in place at $X0,$Y0"
red=$(awk '{ split($3, c, ","); if (c[1] > 180 && c[2] < 80 && c[3] < 80) n++ } END { print n + 0 }' "$WORK/error.png.txt")
[ "$red" -gt 50 ] || fail "the error window shows no error text ($red red pixels)"
grep -q 'line 24' "$NOTICE_ERR" || fail "the error does not name line 24: $(cat "$NOTICE_ERR")"
kill -0 "$NOTICE_PID" || fail "formview ended on a broken layout"

# A window of this program whose handler uses controls the layout does not have: the reader
# refuses it (the field it does not fill) and formview goes on.
printf 'object M: TMain\n  OnCreate = FormCreate\nend\n' >"$LAYOUT"
for i in $(seq 1 50); do
    grep -q 'does not fill the field' "$NOTICE_ERR" && break
    sleep 0.2
done
grep -q 'line 1: the layout of M does not fill the field' "$NOTICE_ERR" || fail "no missing-field error: $(cat "$NOTICE_ERR")"
kill -0 "$NOTICE_PID" || fail "formview ended on a layout that lacks its window's controls"

# Fixed, in place.
layout 'Fixed' 60 >"$LAYOUT"
expect_view Fixed
[ "$WX,$WY" = "$X0,$Y0" ] || fail "the fixed window is at $WX,$WY, not at $X0,$Y0"

# A FIFO moved onto the file: refused at once (nothing waits for a writer), the error shown, and
# the window still answers: it closes when asked.
mkfifo "$WORK/fifo"
mv "$WORK/fifo" "$LAYOUT"
for i in $(seq 1 50); do
    grep -q 'not a regular file' "$NOTICE_ERR" && break
    sleep 0.2
done
grep -q "$LAYOUT: Cannot read $LAYOUT: not a regular file" "$NOTICE_ERR" || fail "the FIFO is not refused: $(cat "$NOTICE_ERR")"
TITLE="formview: $LAYOUT"
wait_window

"$BIN/xclose" "$WIN" || fail "could not ask the window to close"
wait_exit
[ "$STATUS" -eq 0 ] || fail "closing: status $STATUS ($(cat "$NOTICE_ERR"))"
rm -rf "$WORK"
echo "formview: follows a move, a broken line and its fix in place; closed with 0"
