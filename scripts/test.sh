#!/usr/bin/env bash
# Builds everything and runs every test, in one configuration for each purpose:
#   build/       Release, the programs as they are installed and packaged (position-independent,
#                hardened, on the system's shared libraries: LUMI_STATIC=OFF): the unit, golden and end-to-end
#                tests, then the library installed and packaged (tests/install); the benchmarks
#                are built, not run.
#   build-asan/  AddressSanitizer and UndefinedBehaviorSanitizer, no display: the unit tests again.
#   build-fuzz/  clang and libFuzzer, no display: the fuzz targets alone, each run briefly.
# Before each phase it prints the CPU time (user and system) its commands have used so far.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh test
jobs=$(nproc)
werror=OFF
[ -n "${CI:-}" ] && werror=ON
phase() {
  # times reports the children of the shell it runs in: here, not in a command substitution.
  local t
  t=$(mktemp)
  times >"$t"
  echo "== $* (CPU so far: $(tail -n 1 "$t"))"
  rm -f "$t"
}

phase "build (release, with the tests)"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DLUMI_TESTS=ON -DLUMI_BENCH=ON -DLUMI_STATIC=OFF \
  -DLUMI_WERROR=$werror >/dev/null
cmake --build build -j "$jobs"

phase "build (sanitizers)"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLUMI_SANITIZE=ON -DLUMI_X11=OFF \
  -DLUMI_BENCH=OFF -DLUMI_WERROR=$werror >/dev/null
cmake --build build-asan -j "$jobs"

phase "build (fuzzers, clang)"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMI_FUZZ=ON \
  -DLUMI_X11=OFF -DLUMI_TESTS=OFF -DLUMI_BENCH=OFF >/dev/null
cmake --build build-fuzz -j "$jobs" --target fuzzers

status=0
# Fuzzers and sanitizer runs see the same pinned fonts as the tests, and keep no cache: nothing of
# theirs lands in the developer's home or /tmp. fontconfig's own long-lived blocks are not our leaks.
fuzzenv=$PWD/build-fuzz/fuzz-env
mkdir -p "$fuzzenv/tmp" "$fuzzenv/xdg-cache"
export FONTCONFIG_FILE="$PWD/tests/fonts/fonts.conf" LANG=C.UTF-8 LUMIVANE_CACHE=off
export LSAN_OPTIONS="suppressions=$PWD/fuzz/lsan.supp"
phase "fuzz (${LUMI_FUZZ_SECONDS:-15} s each)"
for f in build-fuzz/bin/fuzz_*; do
  [ -x "$f" ] || continue
  name=$(basename "$f")
  corpus=$fuzzenv/corpus-$name
  rm -rf "$corpus" && mkdir -p "$corpus"
  cp -r fuzz/corpus/"$name"/. "$corpus"/ 2>/dev/null || true
  # The layout readers get a dictionary of layout words and extreme numbers.
  dict=()
  case $name in fuzz_form|fuzz_layout) dict=(-dict=fuzz/layout.dict) ;; esac
  if TMPDIR=$fuzzenv/tmp XDG_CACHE_HOME=$fuzzenv/xdg-cache "$f" "${dict[@]}" -max_total_time="${LUMI_FUZZ_SECONDS:-15}" \
       -max_len=65536 -rss_limit_mb=2048 -print_final_stats=1 "$corpus" >"build-fuzz/$name.log" 2>&1; then
    echo "$name: no finding ($(grep -o 'stat::number_of_executed_units: [0-9]*' "build-fuzz/$name.log" | awk '{print $2}') runs)"
  else
    echo "$name: FINDING"; tail -n 40 "build-fuzz/$name.log"; status=1
  fi
  rm -rf "$corpus"
done

phase "unit tests under sanitizers"
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --output-on-failure -j "$jobs" -L unit) || status=1

phase "all tests (release)"
(cd build && ctest --output-on-failure -j "$jobs") || status=1

phase "the installed library and its Debian packages"
bash tests/install/test_install.sh build || status=1
phase "done"
exit $status
