#!/usr/bin/env bash
# Builds the notice program into build/ and starts it (on a machine without a display:
# xvfb-run -a bash scripts/run.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DLUMI_TESTS=OFF -DLUMI_BENCH=OFF >/dev/null
if [ ! -f app/main.cpp ]; then
  cmake --build build
  echo "Built the libraries; the notice program does not exist yet."
  exit 0
fi
cmake --build build --target lumivane-notice
exec build/bin/lumivane-notice "$@"
