#!/usr/bin/env bash
# The glyph and font-answer caches as programs leave them: LUMIVANE_CACHE=off writes nothing;
# programs exiting together leave one whole file of each kind and no temporaries; a folder over
# its bound is trimmed by the next write. formshot draws the notice window headless.
# Usage: test_cache.sh BIN_DIR
set -u
BIN=$(cd "$1" && pwd)
SRC=${LUMI_SOURCE_DIR:-$(cd "$(dirname "$0")/../.." && pwd)}
fail() { echo "FAIL: $*" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
form=$SRC/app/frmMain.txt
draw() { "$BIN/formshot" "$form" --png "$work/shot.png" >/dev/null || fail "formshot failed"; }

# 1. Off: the home (and its ~/.cache) and the working folder stay empty. The default, for
#    contrast, keeps its files in ~/.cache/lumivane of that home.
mkdir "$work/home" "$work/cwd"
(cd "$work/cwd" && HOME=$work/home LUMIVANE_CACHE=off draw)
left=$(cd "$work" && find home cwd -mindepth 1)
[ -z "$left" ] || fail "LUMIVANE_CACHE=off wrote: $left"
(cd "$work/cwd" && unset LUMIVANE_CACHE XDG_CACHE_HOME && HOME=$work/home draw)
ls "$work"/home/.cache/lumivane/glyphs-* >/dev/null 2>&1 || fail "the default cache folder was not written"
[ "$(stat -c %a "$work/home/.cache/lumivane")" = 700 ] || fail "the cache folder is not the user's alone"

# 2. Two, then ten programs drawing afresh and exiting at once: one glyph file and one answer
#    file, no temporaries, and each whole: the next run finds every glyph it needs there and
#    rewrites neither.
for n in 2 10; do
    export LUMIVANE_CACHE=$work/together-$n
    pids=()
    for i in $(seq 1 $n); do
        "$BIN/formshot" "$form" --png "$work/shot-$i.png" >/dev/null &
        pids+=($!)
    done
    for p in "${pids[@]}"; do wait "$p" || fail "$n together: a formshot failed"; done
    files=$(cd "$LUMIVANE_CACHE" && ls -A | sed 's/-[0-9a-f]*$//' | sort | tr '\n' ' ')
    [ "$files" = "font-matches glyphs " ] || fail "$n together left: $(ls -A "$LUMIVANE_CACHE")"
    before=$(stat -c '%i %Y' "$LUMIVANE_CACHE"/*)
    draw
    [ "$(stat -c '%i %Y' "$LUMIVANE_CACHE"/*)" = "$before" ] || fail "$n together: the files left were not whole"
done

# 3. Over the bound (32 MB): an old file of ours goes at the next write, a file not ours stays,
#    and so does a temporary of a write still under way.
export LUMIVANE_CACHE=$work/full
mkdir -m 700 "$LUMIVANE_CACHE"
truncate -s 40M "$LUMIVANE_CACHE/glyphs-0123456789abcdef"
touch -d '2 days ago' "$LUMIVANE_CACHE/glyphs-0123456789abcdef"
truncate -s 40M "$LUMIVANE_CACHE/notes.txt"
: >"$LUMIVANE_CACHE/glyphs-0123456789abcdef.1.2.tmp"
draw
[ ! -e "$LUMIVANE_CACHE/glyphs-0123456789abcdef" ] || fail "the old file over the bound is still there"
left=$(cd "$LUMIVANE_CACHE" && ls -A | sed 's/-[0-9a-f]\{16\}$/-NEW/' | sort | tr '\n' ' ')
[ "$left" = "font-matches-NEW glyphs-0123456789abcdef.1.2.tmp glyphs-NEW notes.txt " ] || fail "after trimming: $left"
echo "cache: all checks passed"
