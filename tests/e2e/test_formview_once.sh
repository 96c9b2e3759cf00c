#!/usr/bin/env bash
# formview --once paints every layout of the project in a real window and exits 0; a layout that
# does not load exits 1 with the line on standard error, and so does a missing file.
# Usage: test_formview_once.sh BIN_DIR
set -u
BIN=$(cd "$1" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
SRC=${LUMI_SOURCE_DIR:-$(cd "$HERE/../.." && pwd)}
source "$HERE/lib/xvfb.sh"
fail() { echo "FAIL: $*" >&2; exit 1; }
out=$(mktemp -d)

n=0
for f in "$SRC"/tests/data/*/*.txt "$SRC"/app/*.txt "$SRC"/gallery/*.txt; do
    head -n 1 "$f" | grep -q '^object ' || continue
    timeout 60 "$BIN/formview" --once "$f" 2>"$out/err.txt" || fail "formview --once $f: status $? ($(cat "$out/err.txt"))"
    n=$((n + 1))
done
[ "$n" -ge 5 ] || fail "only $n layouts found"

printf 'object Form1: TForm\n  Left = 1\n  Nonsense = 3\nend\n' >"$out/broken.txt"
status=0
timeout 60 "$BIN/formview" --once "$out/broken.txt" 2>"$out/err.txt" || status=$?
[ "$status" = 1 ] || fail "a broken layout: status $status"
grep -q 'line 3' "$out/err.txt" || fail "the error does not name the line: $(cat "$out/err.txt")"
printf 'object M: TMain\n  OnCreate = FormCreate\nend\n' >"$out/three.txt"
status=0
timeout 60 "$BIN/formview" --once "$out/three.txt" 2>"$out/err.txt" || status=$?
[ "$status" = 1 ] || fail "a window without its controls: status $status"
grep -q 'line 1: the layout of M does not fill the field' "$out/err.txt" || fail "no missing field: $(cat "$out/err.txt")"
status=0
timeout 60 "$BIN/formview" --once "$out/missing.txt" 2>"$out/err.txt" || status=$?
[ "$status" = 1 ] || fail "a missing layout: status $status"
status=0
"$BIN/formview" >/dev/null 2>&1 || status=$?
[ "$status" = 2 ] || fail "no argument: status $status"
rm -rf "$out"
echo "formview --once: $n layouts painted; broken and missing ones exit 1"
