#!/usr/bin/env bash
# The form tools and the class a layout names. A layout of the developer's own window class (one
# the tools do not have) is shown as a plain form: said once on stderr, its event bindings
# listed in formshot's trace and kept in its dump but never called. A layout that does not fill a
# field its class exposes fails in both tools with an error naming the field, the class and the
# layout; formview then shows the error and goes on running.
# Usage: test_tools_layout_classes.sh BIN_DIR
set -u
BIN=$(cd "$1" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/lib/xvfb.sh"
fail() { echo "FAIL: $*" >&2; exit 1; }
out=$(mktemp -d)

cat >"$out/own.txt" <<'EOF'
object MyWin: TMyWindow
  ClientWidth = 200
  ClientHeight = 60
  OnCreate = FormCreate
  object btnAdd: TImButton
    Left = 10
    Top = 10
    Width = 80
    Height = 25
    Caption = 'Add'
    OnClick = AddClick
  end
end
EOF
printf 'click 40 22\nclick 40 22\n' >"$out/click.script"
"$BIN/formshot" "$out/own.txt" --events "$out/click.script" --trace --dump >"$out/stdout" 2>"$out/stderr" ||
    fail "formshot refused a layout of an own class: $(cat "$out/stderr")"
[ "$(grep -c 'TMyWindow is not a class of this program: shown as a plain TForm' "$out/stderr")" = 1 ] ||
    fail "formshot did not say once that it shows a plain form: $(cat "$out/stderr")"
[ "$(grep -cx 'event: btnAdd.OnClick() -> AddClick (not called)' "$out/stdout")" = 2 ] ||
    fail "the trace does not list the binding of both clicks: $(cat "$out/stdout")"
grep -qx '  OnCreate = FormCreate' "$out/stdout" || fail "the dump lost the form's binding: $(cat "$out/stdout")"
grep -qx '    OnClick = AddClick' "$out/stdout" || fail "the dump lost the button's binding: $(cat "$out/stdout")"
grep -q '^object MyWin: TForm$' "$out/stdout" || fail "the dump is not of a plain form: $(head -n 1 "$out/stdout")"

timeout 60 "$BIN/formview" --once "$out/own.txt" 2>"$out/stderr" || fail "formview --once: status $? ($(cat "$out/stderr"))"
[ "$(grep -c 'TMyWindow is not a class of this program' "$out/stderr")" = 1 ] ||
    fail "formview did not say once that it shows a plain form: $(cat "$out/stderr")"

# The notice window's class with a layout that has none of its controls.
printf 'object M: TMain\n  OnCreate = FormCreate\nend\n' >"$out/main.txt"
want='line 1: the layout of M does not fill the field KdUrlLabel1 of TMain: it has no TKdUrlLabel named KdUrlLabel1'
status=0
"$BIN/formshot" "$out/main.txt" >/dev/null 2>"$out/stderr" || status=$?
[ "$status" = 1 ] || fail "formshot on an unfilled field: status $status"
grep -qF "$want" "$out/stderr" || fail "formshot: expected '$want', got: $(cat "$out/stderr")"
status=0
timeout 60 "$BIN/formview" --once "$out/main.txt" 2>"$out/stderr" || status=$?
[ "$status" = 1 ] || fail "formview --once on an unfilled field: status $status"
grep -qF "$want" "$out/stderr" || fail "formview: expected '$want', got: $(cat "$out/stderr")"
# Without --once formview shows the error in its window and keeps running.
"$BIN/formview" "$out/main.txt" 2>"$out/stderr" &
pid=$!
for i in $(seq 1 100); do grep -qF "$want" "$out/stderr" && break; sleep 0.05; done
grep -qF "$want" "$out/stderr" || fail "formview did not report the unfilled field: $(cat "$out/stderr")"
kill -0 "$pid" 2>/dev/null || fail "formview ended on an unfilled field"
kill "$pid"
rm -rf "$out"
echo "form tools: an own class shown as a plain form; an unfilled field refused with its name"
