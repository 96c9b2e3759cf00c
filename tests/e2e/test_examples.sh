#!/usr/bin/env bash
# The example scripts of examples/ run as the README shows them: the hover example points at the
# notice window's download link (its hint and red text), clicks it and presses Close.
# Usage: test_examples.sh BIN_DIR
set -eu
source "$(dirname "$0")/lib/formshot.sh"
cd "$out"
"$BIN/formshot" "$SRC/app/frmMain.txt" --events "$SRC/examples/hover.txt" --png hover.png --trace >trace.txt
for f in hover.png hover-link.png pressed-close.png; do [ -s "$f" ] || fail "the example wrote no $f"; done
grep -q '^event: KdUrlLabel2\.OnMouseEnter()$' trace.txt || fail "no mouse enter on the link: $(cat trace.txt)"
grep -qx 'open: http://www.draventa.example/download/LumivaneSetup.exe' trace.txt || fail "the link did not open: $(cat trace.txt)"
grep -q '^event: btnClose\.OnClick()$' trace.txt || fail "Close was not clicked: $(cat trace.txt)"
echo "examples: hover.txt runs as the README shows it"
