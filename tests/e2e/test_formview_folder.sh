#!/usr/bin/env bash
# formview under Xvfb when the folder of its layout is removed: the window says so and the
# program goes on; when a folder of that name is made again with the layout in it, formview
# follows it again and shows the layout. Closing the window ends it with status 0.
# Usage: test_formview_folder.sh BIN_DIR
set -u
BIN=$(cd "$1" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/lib/xvfb.sh"
source "$HERE/lib/notice.sh"
WORK=$(mktemp -d)
DIR="$WORK/forms"
LAYOUT="$DIR/layout.txt"
mkdir "$DIR"

layout() { printf "object Form1: TForm\n  Caption = '%s'\n  ClientHeight = 60\n  ClientWidth = 200\nend\n" "$1"; }

# Waits (about 10 s at most) for standard error to hold the text.
expect_said() {
    local i
    for i in $(seq 1 50); do
        grep -qF "$1" "$NOTICE_ERR" && return 0
        sleep 0.2
    done
    fail "formview did not say '$1': $(cat "$NOTICE_ERR")"
}

layout First >"$LAYOUT"
NOTICE_ERR="$WORK/stderr.txt"
"$BIN/formview" "$LAYOUT" 2>"$NOTICE_ERR" &
NOTICE_PID=$!
TITLE=First
wait_window

rm -rf "$DIR"
expect_said "the folder $DIR was removed"
TITLE="formview: $LAYOUT"
wait_window

# Made again, the layout written in it (the folder's own creation may come first or with it).
mkdir "$DIR"
layout Again >"$LAYOUT"
expect_said "the folder $DIR is back"
TITLE=Again
wait_window

# Saves in the new folder are followed.
layout Saved >"$LAYOUT"
TITLE=Saved
wait_window

"$BIN/xclose" "$WIN" || fail "could not ask the window to close"
wait_exit
[ "$STATUS" -eq 0 ] || fail "closing: status $STATUS ($(cat "$NOTICE_ERR"))"
rm -rf "$WORK"
echo "formview: a removed folder is said in the window and followed again when it comes back"
