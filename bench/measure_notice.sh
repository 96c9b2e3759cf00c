#!/usr/bin/env bash
# Measures the notice program beside the FLTK peer window with the shared peers harness, in one
# run under one Xvfb: time to first paint, peak memory, idle CPU and wakeups, close time.
#
#   bash bench/measure_notice.sh [RUNS]        (default 9 measured runs each, after 1 warm-up)
#
# Builds the program (Release, build-release/) and the harness and FLTK peer in a scratch copy of
# ../shared/peers (shared/ may be read-only). Installs the harness's and the peer's packages when
# missing. Prints both summary rows and writes them to build-release/measure/.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
runs=${1:-9}
peers_src=${LUMI_PEERS:-../shared/peers}
[ -d "$peers_src" ] || { echo "no peers harness at $peers_src (set LUMI_PEERS)" >&2; exit 1; }

need=()
for p in libxdamage-dev libxtst-dev libfltk1.3-dev x11-utils xvfb make; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
    sudo=""; [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -qq && DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${need[@]}"
fi

bash scripts/deps.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DLUMI_TESTS=OFF -DLUMI_BENCH=OFF >/dev/null
cmake --build build-release --target lumivane-notice
out=$repo/build-release/measure
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$peers_src"/. "$work/"
make -C "$work" build/xwatch build/notice_fltk >/dev/null

cd "$work"
./measure.sh -n "$runs" --out "$out" fltk -- build/notice_fltk
./measure.sh -n "$runs" --out "$out" -X "--texture $repo/app/pictures/stucco.bmp" \
    --screenshot "$out/lumivane.png" lumivane -- "$repo/build-release/bin/lumivane-notice"
RESULTS="$out" harness/report.sh fltk lumivane | tee "$out/table.md"
