#!/usr/bin/env bash
# The guide's programs that need no display, run as a reader would run them: the Picture.Data
# printer on a PNG with alpha, whose line a layout then reads back to the same picture (formshot
# --dump writes it again), and which refuses a wrong command line with status 2.
# Usage: run_guide_programs.sh GUIDE_CODE FORMSHOT SOURCE_DIR
set -u
code=$1 formshot=$2 src=$3
fail() { echo "FAIL: $*" >&2; exit 1; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

"$code" 2 "$src/tests/data/pictures/alpha.png" >"$out/line.txt" || fail "the Picture.Data printer: status $?"
line=$(cat "$out/line.txt")
# One length byte and "TPngImage", then the file's length as 32-bit little-endian, then the file.
size=$(stat -c %s "$src/tests/data/pictures/alpha.png")
want="    Picture.Data = {0954506E67496D616765$(printf '%02X000000' "$size")89504E47"
[ "${line:0:${#want}}" = "$want" ] || fail "the printed line begins '${line:0:60}', not '$want'"
{
    printf 'object F: TForm\n  ClientWidth = 40\n  ClientHeight = 20\n  object Back: TKdBackImage\n'
    printf '    Width = 40\n    Height = 20\n%s\n  end\nend\n' "$line"
} >"$out/form.txt"
"$formshot" "$out/form.txt" --dump >"$out/dump.txt" 2>"$out/err.txt" || fail "the layout did not load: $(cat "$out/err.txt")"
# The dump wraps long data over lines: compared without the white space.
again=$(sed -n '/Picture.Data = {/,/}/p' "$out/dump.txt" | tr -d ' \n')
[ "$again" = "$(tr -d ' \n' <"$out/line.txt")" ] || fail "the picture did not read back the same: $again"

status=0
"$code" 2 >/dev/null 2>&1 || status=$?
[ "$status" = 2 ] || fail "the printer without a file: status $status, not 2"
status=0
"$code" 9 >/dev/null 2>&1 || status=$?
[ "$status" = 2 ] || fail "a program the guide does not have: status $status, not 2"
"$code" || fail "guide_code without a program: status $?"
echo "guide programs: the Picture.Data printer's line loads back to the same picture"
