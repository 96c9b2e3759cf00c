#!/usr/bin/env bash
# Text of several scripts in a layout: captions and edits holding Latin, Greek, Cyrillic and CJK
# (the CJK from the fallback font), combining accents and emoji, drawn as the golden image; the
# dump writes every character back as it is; typed and pasted UTF-8 reaches the edit, the dump and
# the trace.
# Usage: test_formshot_text.sh BIN_DIR   (LUMI_UPDATE_GOLDEN=1 rewrites the golden image)
set -eu
source "$(dirname "$0")/lib/formshot.sh"
FORM="$FORMS/text_scripts.txt"

"$BIN/formshot" "$FORM" --png "$out/text.png" --dump >"$out/dump.txt"
golden "$FORMS" text_scripts "$out/text.png"
grep -qxF "    Caption = 'Grüße, 20 °C — Ωμέγα, Привет, 漢字かな'" "$out/dump.txt" || fail "caption not dumped as UTF-8: $(cat "$out/dump.txt")"
grep -qxF "    Caption = '"$'e\xcc\x81'" 🇫🇷 👍🏽 😀 &Ярлык'" "$out/dump.txt" || fail "codes not dumped as characters"
grep -qxF "    Text = 'Ωя漢 €1'" "$out/dump.txt" || fail "edit text not dumped"

# Typed and pasted text of any script, through a script file in UTF-8.
printf 'click 300 100\nkey end\ntype Ωя 漢字 😀\nclipboard Привет\nkey ctrl+v\n' >"$out/type.script"
"$BIN/formshot" "$FORM" --events "$out/type.script" --dump --trace >"$out/typed.txt"
grep -qxF "    Text = 'Ωя漢 €1Ωя 漢字 😀Привет'" "$out/typed.txt" || fail "typed text not in the dump: $(grep -A3 ValidateEdit1 "$out/typed.txt")"
echo "formshot text: scripts drawn as the golden image, dumped and typed as UTF-8"
