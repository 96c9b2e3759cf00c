#!/usr/bin/env bash
# The pictures of the library guide (docs/library.md): each docs/library/NAME.txt layout drawn by
# formshot, headless, with the input of NAME.events when there is one, into docs/library/NAME.png.
# The tests' pinned fonts make the pictures the same on every machine.
#
#   bash scripts/guide-pictures.sh                       builds formshot into build/, writes the pictures
#   bash scripts/guide-pictures.sh --check FORMSHOT      draws them into a temporary folder and fails
#                                                        when one differs from the committed picture
set -euo pipefail
cd "$(dirname "$0")/.."
export FONTCONFIG_FILE="$PWD/tests/fonts/fonts.conf" LANG=C.UTF-8
if [ "${1:-}" = --check ]; then
  formshot=$2
  out=$(mktemp -d)
  trap 'rm -rf "$out"' EXIT
else
  bash scripts/deps.sh run
  [ -f build/CMakeCache.txt ] || cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build build --target formshot
  formshot=build/bin/formshot
  out=docs/library
fi
status=0
for layout in docs/library/*.txt; do
  name=$(basename "$layout" .txt)
  events=()
  [ -f "docs/library/$name.events" ] && events=(--events "docs/library/$name.events")
  "$formshot" "$layout" "${events[@]}" --png "$out/$name.png" >/dev/null
  if [ "${1:-}" = --check ] && ! cmp -s "$out/$name.png" "docs/library/$name.png"; then
    echo "docs/library/$name.png is not what $layout draws now: run bash scripts/guide-pictures.sh"
    status=1
  fi
done
[ "${1:-}" = --check ] || echo "wrote docs/library/*.png"
exit $status
