#!/usr/bin/env bash
# Builds everything and runs every test: the unit, golden and end-to-end tests (build/), the unit
# tests again under AddressSanitizer and UndefinedBehaviorSanitizer (build-asan/), and each fuzz
# target briefly (build-fuzz/, clang and libFuzzer), the programs as released (build-release/, linked
# statically) under their end-to-end tests, and the library as another program sees it once
# installed (build-shared/ for the shared libraries). Benchmarks are built, not run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh test
jobs=$(nproc)
werror=OFF
[ -n "${CI:-}" ] && werror=ON

echo "== build (release with debug info)"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMI_WERROR=$werror >/dev/null
cmake --build build -j "$jobs"

echo "== build (release: the programs linked statically, as run.sh and the benchmarks build them)"
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DLUMI_TESTS=OFF -DLUMI_BENCH=ON \
  -DLUMI_WERROR=$werror >/dev/null
cmake --build build-release -j "$jobs" --target lumivane-notice lumivane-gallery

echo "== build (sanitizers)"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLUMI_SANITIZE=ON -DLUMI_X11=OFF \
  -DLUMI_BENCH=OFF -DLUMI_WERROR=$werror >/dev/null
cmake --build build-asan -j "$jobs"

echo "== build (fuzzers)"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMI_FUZZ=ON \
  -DLUMI_X11=OFF -DLUMI_TESTS=OFF -DLUMI_BENCH=OFF >/dev/null
cmake --build build-fuzz -j "$jobs"

status=0
# Fuzzers and sanitizer runs see the same pinned fonts as the tests; fontconfig's own long-lived
# blocks are not our leaks.
export FONTCONFIG_FILE="$PWD/tests/fonts/fonts.conf" LANG=C.UTF-8
export LSAN_OPTIONS="suppressions=$PWD/fuzz/lsan.supp"
echo "== fuzz (${LUMI_FUZZ_SECONDS:-15} s each)"
for f in build-fuzz/bin/fuzz_*; do
  [ -x "$f" ] || continue
  name=$(basename "$f")
  corpus=$(mktemp -d)
  cp -r fuzz/corpus/"$name"/. "$corpus"/ 2>/dev/null || true
  # The layout readers get a dictionary of layout words and extreme numbers.
  dict=()
  case $name in fuzz_form|fuzz_layout) dict=(-dict=fuzz/layout.dict) ;; esac
  if "$f" "${dict[@]}" -max_total_time="${LUMI_FUZZ_SECONDS:-15}" -max_len=65536 -rss_limit_mb=2048 -print_final_stats=1 "$corpus" \
       >"build-fuzz/$name.log" 2>&1; then
    echo "$name: no finding ($(grep -o 'stat::number_of_executed_units: [0-9]*' "build-fuzz/$name.log" | awk '{print $2}') runs)"
  else
    echo "$name: FINDING"; tail -n 40 "build-fuzz/$name.log"; status=1
  fi
  rm -rf "$corpus"
done

echo "== unit tests under sanitizers"
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --output-on-failure -j "$jobs" -L unit) || status=1

echo "== all tests"
(cd build && ctest --output-on-failure -j "$jobs") || status=1

echo "== the released programs under the end-to-end tests of the notice window and the gallery"
# The test helpers and tools from build/, the two programs from build-release/.
released=$(mktemp -d)
ln -s "$PWD"/build/bin/* "$released"/
ln -sf "$PWD"/build-release/bin/lumivane-notice "$PWD"/build-release/bin/lumivane-gallery "$released"/
for t in notice_window notice_controls notice_golden gallery; do
  if FONTCONFIG_FILE="$PWD/tests/fonts/fonts.conf" LUMI_SOURCE_DIR="$PWD" \
       bash "tests/e2e/test_$t.sh" "$released" >"build-release/e2e_$t.log" 2>&1; then
    echo "$t (released build): passed"
  else
    echo "$t (released build): FAILED"; tail -n 40 "build-release/e2e_$t.log"; status=1
  fi
done
rm -rf "$released"

echo "== the installed library (static and shared, CMake, pkg-config, Debian package)"
bash tests/install/test_install.sh build || status=1
exit $status
