#!/usr/bin/env bash
# scripts/run.sh started from another folder: the program runs there, with the caller's relative
# paths, and writes its files there, not into the repository; its stdout is the program's alone.
# run.sh itself is played in a copy of the scripts folder whose deps.sh and cmake are stand-ins
# (the real build is the test suite's own), so nothing is built and nothing outside the test's
# folder is touched.
# Usage: test_run_paths.sh BIN_DIR
set -eu
source "$(dirname "$0")/lib/formshot.sh"

repo=$out/repo
mkdir -p "$repo/scripts" "$out/caller/forms" "$out/tools"
cp "$SRC/scripts/run.sh" "$repo/scripts/"
printf '#!/usr/bin/env bash\nexit 0\n' >"$repo/scripts/deps.sh"
# The stand-in cmake "builds" a formshot that is the real one, started where run.sh left off.
cat >"$out/tools/cmake" <<EOF
#!/usr/bin/env bash
echo "cmake \$*"
mkdir -p "$repo/build/bin"
ln -sf "$BIN/formshot" "$repo/build/bin/formshot"
EOF
chmod +x "$out/tools/cmake"

printf 'object F: TForm\n  ClientWidth = 30\n  ClientHeight = 20\nend\n' >"$out/caller/forms/my form.txt"
printf 'shot step.png\n' >"$out/caller/forms/steps.txt"
(cd "$out/caller" && PATH="$out/tools:$PATH" bash "$repo/scripts/run.sh" formshot "forms/my form.txt" \
    --events forms/steps.txt --png shot.png --dump >stdout.txt 2>stderr.txt) ||
    fail "run.sh from another folder: $(cat "$out/caller/stderr.txt")"
[ -f "$out/caller/shot.png" ] || fail "the picture is not in the caller's folder"
[ -f "$out/caller/step.png" ] || fail "the script's shot is not in the caller's folder"
[ -z "$(find "$repo" -name '*.png')" ] || fail "files were written into the repository: $(find "$repo" -name '*.png')"
[ "$(head -n 1 "$out/caller/stdout.txt")" = "object F: TForm" ] ||
    fail "stdout is not the program's alone: $(head -n 3 "$out/caller/stdout.txt")"
grep -q '^cmake ' "$out/caller/stderr.txt" || fail "the build's output did not go to stderr"

echo "run.sh: the caller's paths, the caller's folder, the program's stdout"
