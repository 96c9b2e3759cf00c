#!/usr/bin/env bash
# Installs the Debian packages that are missing for what the caller is about to do:
#   deps.sh run    build and run the programs and tools (compiler, libraries, fonts, xdg-utils, the
#                  headers of sd-bus and of the accessibility constants)
#   deps.sh test   that, and the test toolchain (GoogleTest, Google Benchmark, clang, Xvfb, xdotool,
#                  a D-Bus session with the accessibility bus and a screen reader's client library...)
set -euo pipefail
run=(cmake ninja-build g++ pkg-config libx11-dev libxext-dev libfreetype-dev libfontconfig-dev
     fonts-wqy-zenhei fonts-dejavu-core libpng-dev libutf8proc-dev xdg-utils libsystemd-dev libatspi2.0-dev)
test=(googletest libgtest-dev libbenchmark-dev clang libclang-rt-dev xvfb xauth xfonts-base xdotool
      imagemagick xclip x11-utils libxtst-dev openbox lintian devscripts dbus dbus-daemon at-spi2-core
      python3-pyatspi)
case "${1:-test}" in
  run) pkgs=("${run[@]}") ;;
  test) pkgs=("${run[@]}" "${test[@]}") ;;
  *) echo "usage: deps.sh run|test" >&2; exit 2 ;;
esac
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
