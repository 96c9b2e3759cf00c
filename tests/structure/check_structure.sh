#!/usr/bin/env bash
# The shape of the tree, checked: every include of a library header goes down the layers (or
# stays in its own library), programs use the library and nothing of each other's, and no source
# file is over 500 lines unless its opening comment says why ("Over 500 lines: ...").
#
#   bash tests/structure/check_structure.sh [SOURCE_DIR]
set -euo pipefail
cd "${1:-$(dirname "$0")/../..}"
failures=0
# The project's files (git's list in a checkout, else every file under the folder).
files() {
  if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then git ls-files "$@"; return; fi
  local p args=()
  for p in "$@"; do args+=(-o -path "./$p"); done
  find . \( "${args[@]:1}" \) -type f | sed 's|^\./||'
}
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# What each folder may include besides itself, bottom up. The X11 driver holds a program's entry
# point on the display (RunOnDisplay), which runs the application: it sits above the framework.
declare -A allowed=(
  [lumivane/base]=""
  [lumivane/gfx/raster]="lumivane/base =lumivane/gfx"
  [lumivane/gfx/image]="lumivane/base =lumivane/gfx lumivane/gfx/raster"
  [lumivane/gfx/text]="lumivane/base =lumivane/gfx lumivane/gfx/raster"
  [lumivane/gfx]="lumivane/base lumivane/gfx/raster"
  [lumivane/windows]="lumivane/base lumivane/gfx"
  [lumivane/drivers/headless]="lumivane/base lumivane/gfx lumivane/windows"
  [lumivane/drivers/posix]="lumivane/base lumivane/gfx lumivane/windows"
  [lumivane/framework]="lumivane/base lumivane/gfx lumivane/windows"
  [lumivane/controls]="lumivane/base lumivane/gfx lumivane/windows lumivane/framework"
  [lumivane/accessibility]="lumivane/base lumivane/gfx lumivane/windows lumivane/framework"
  [lumivane/drivers/x11]="lumivane/base lumivane/gfx lumivane/windows lumivane/framework lumivane/accessibility lumivane/drivers/posix"
)
# The folder of the library a file or an include belongs to (the longest key that is a prefix).
owner() {
  local path=$1 best="" k
  for k in "${!allowed[@]}"; do
    [[ $path == "$k/"* && ${#k} -gt ${#best} ]] && best=$k
  done
  echo "$best"
}
# Whether an allowed entry covers a folder: "lumivane/gfx" covers gfx/raster, gfx/image and
# gfx/text too; "=lumivane/gfx" only the files at gfx/ itself (its Forward.h).
covers() {
  if [[ $1 == =* ]]; then [[ $2 == "${1#=}" ]]; else [[ $2 == "$1" || $2 == "$1/"* ]]; fi
}

while IFS= read -r file; do
  from=$(owner "$file")
  [ -n "$from" ] || { fail "$file is in no library folder"; continue; }
  while IFS=: read -r line inc; do
    to=$(owner "$inc")
    [ -n "$to" ] || { fail "$file:$line includes $inc, which is in no library folder"; continue; }
    [ "$to" = "$from" ] && continue
    ok=0
    for a in ${allowed[$from]}; do covers "$a" "$to" && ok=1; done
    [ $ok = 1 ] || fail "$file:$line includes $inc: $to is not below $from"
  done < <(grep -noE '^#include "lumivane/[^"]+"' "$file" | sed -E 's/#include "([^"]+)"/\1/')
done < <(files 'lumivane/*.h' 'lumivane/*.cpp')

# Programs depend on the library only; the tools load the notice window and the gallery.
check_program() { # FOLDER ALLOWED-PREFIXES...
  local folder=$1; shift
  while IFS=: read -r file line inc; do
    local ok=0 p
    [[ $inc != */* ]] && ok=1  # beside the file
    for p in "$folder/" "$@"; do [[ $inc == "$p"* ]] && ok=1; done
    [ $ok = 1 ] || fail "$file:$line includes $inc"
  done < <(files "$folder/*.h" "$folder/*.cpp" | xargs -r grep -noE '^#include "[^"]+"' |
             sed -E 's/#include "([^"]+)"/\1/')
}
check_program app lumivane/
check_program gallery lumivane/
check_program examples lumivane/
check_program tools lumivane/ app/ gallery/

# Units of about 500 lines at the most.
while IFS= read -r file; do
  n=$(wc -l <"$file")
  [ "$n" -le 500 ] && continue
  head -n 20 "$file" | grep -q 'Over 500 lines:' ||
    fail "$file has $n lines; split it, or say why in its opening comment (\"Over 500 lines: ...\")"
done < <(files '*.h' '*.cpp' '*.c')

[ $failures -eq 0 ] && echo "structure: every include goes down the layers; no unit over 500 lines unexplained"
exit $((failures > 0))
