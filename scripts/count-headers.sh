#!/usr/bin/env bash
# Counts, for each header of the control library (or the headers given), how many of the
# project's own headers it pulls in transitively: the compiler's dependency list for a file that
# includes only that header, counting the headers under lumivane/ other than the one asked about.
# Without arguments: every header of lumivane/controls/ but Forward.h and the publishing helpers
# (*Published.h), which only source files include.
# Usage: scripts/count-headers.sh [HEADER...]   (paths relative to the repository root)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
cxx=${CXX:-g++}
if [ $# -eq 0 ]; then
  set -- $(ls lumivane/controls/*.h | grep -v -e '/Forward\.h$' -e 'Published\.h$')
fi
total=0
printf '%-45s %s\n' header 'project headers'
for h in "$@"; do
  # -MM leaves out system headers; -MG lets a missing library header (FreeType...) pass.
  n=$(echo "#include \"$h\"" |
      "$cxx" -std=c++20 -I. -MM -MG -x c++ - |
      tr ' \\' '\n\n' | awk -v self="$h" '/^lumivane\/.*\.h$/ && $0 != self' | sort -u | wc -l)
  printf '%-45s %d\n' "$h" "$n"
  total=$((total + n))
done
printf '%-45s %d\n' total "$total"
