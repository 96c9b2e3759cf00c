#!/usr/bin/env bash
# Every command of the library guide (docs/library.md, its ```sh blocks) runs as written, from a
# copy of the checkout whose build/ is the build under test and with a HOME of its own, so the
# prefix "$HOME/lumivane" is the test's. A command that opens a window is closed as a window
# manager would and must then end with 0. The guide's CMake block builds its first C++ block
# against that prefix, and the program shows its window and closes the same way.
# Usage: test_guide_commands.sh BIN_DIR
set -u
BIN=$(cd "$1" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
SRC=${LUMI_SOURCE_DIR:-$(cd "$HERE/../.." && pwd)}
source "$HERE/lib/xvfb.sh"
fail() { echo "FAIL: $*" >&2; exit 1; }
work=$(mktemp -d)
export HOME=$work/home XDG_CACHE_HOME=$work/home/.cache
mkdir -p "$HOME" "$work/repo"
for entry in "$SRC"/*; do
    case $(basename "$entry") in build*) ;; *) ln -s "$entry" "$work/repo/" ;; esac
done
ln -s "$(dirname "$BIN")" "$work/repo/build"
# The compiles the guide asks for go through the build's compiler launcher when it has one.
launcher=$(sed -n 's/^CMAKE_CXX_COMPILER_LAUNCHER:[A-Z]*=//p' "$work/repo/build/CMakeCache.txt")
[ -n "$launcher" ] && export CMAKE_CXX_COMPILER_LAUNCHER=$launcher

# Runs one command in the copy; a program that shows a window is asked to close it.
run() { # COMMAND
    (cd "$work/repo" && exec bash -c "$1") >"$work/out.txt" 2>&1 &
    local pid=$! win="" i
    while kill -0 "$pid" 2>/dev/null; do
        for p in $pid $(pgrep -P "$pid"); do
            win=$(xdotool search --onlyvisible --pid "$p" 2>/dev/null | head -n 1)
            [ -n "$win" ] && break
        done
        if [ -n "$win" ]; then
            "$BIN/xclose" "$win" || fail "'$1': could not ask its window to close"
            break
        fi
        sleep 0.1
    done
    wait "$pid" || fail "'$1' ended with status $?: $(tail -n 20 "$work/out.txt")"
    echo "ran: $1${win:+ (its window shown and closed)}"
}

# The ```sh blocks, one command a line (a line ending in a backslash goes on on the next).
awk '/^```sh$/ { on = 1; next } /^```/ { on = 0 } on' "$SRC/docs/library.md" |
    awk '{ if (sub(/\\$/, "")) { cmd = cmd $0 } else { print cmd $0; cmd = "" } }' >"$work/commands.txt"
# The build under test is configured already: configuring it again from the copy would point it
# at another source folder (and rebuild all of it), or turn a developer's Debug build into Release.
sed -i 's/^cmake -S \. -B build [^&]*&& //' "$work/commands.txt"
grep -q '^cmake -S \. -B build ' "$work/commands.txt" && fail "a configure line of the guide was not recognised: $(grep '^cmake -S \. -B build ' "$work/commands.txt")"
[ "$(wc -l <"$work/commands.txt")" -ge 8 ] || fail "the guide's commands were not found: $(cat "$work/commands.txt")"
while IFS= read -r command; do
    [ -n "$command" ] && run "$command"
done <"$work/commands.txt"
[ -s "$work/repo/edits.png" ] || fail "formshot wrote no edits.png"
[ -x "$HOME/lumivane/bin/formshot" ] || fail "nothing was installed into \$HOME/lumivane"

# The CMake block and the first C++ block: a program of its own against the prefix.
mkdir -p "$work/hello"
awk '/^```cmake$/ { on = 1; next } /^```/ { on = 0 } on' "$SRC/docs/library.md" >"$work/hello/CMakeLists.txt"
awk '/^```cpp$/ { n++; on = (n == 1); next } /^```/ { on = 0 } on' "$SRC/docs/library.md" >"$work/hello/main.cpp"
grep -q 'int main' "$work/hello/main.cpp" || fail "the guide's first C++ block is no program"
cmake -S "$work/hello" -B "$work/hello/build" -DCMAKE_PREFIX_PATH="$HOME/lumivane" >"$work/hello.log" 2>&1 &&
    cmake --build "$work/hello/build" >>"$work/hello.log" 2>&1 || fail "the first program did not build: $(tail -n 30 "$work/hello.log")"
run "$work/hello/build/myprogram"

rm -rf "$work"
echo "guide: every command runs as written; the first program builds with the guide's CMake lines"
