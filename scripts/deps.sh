#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need, when any is missing.
set -euo pipefail
pkgs=(cmake ninja-build g++ pkg-config libx11-dev libxext-dev libfreetype-dev libfontconfig-dev
      fonts-wqy-zenhei fonts-dejavu-core libpng-dev googletest libgtest-dev libbenchmark-dev clang
      libclang-rt-dev xvfb xauth xfonts-base xdotool imagemagick xdg-utils xclip x11-utils)
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
