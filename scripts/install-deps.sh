#!/usr/bin/env bash
# Installs what building, running and testing Leafview needs on Debian 12.
set -euo pipefail
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-image-formats-plugins libgl-dev libxkbcommon-dev
  libarchive-dev zlib1g-dev libpixman-1-dev libjpeg-dev
  libgtest-dev libgmock-dev
  clang-14 libclang-rt-14-dev libfuzzer-14-dev
  fonts-noto-cjk qt6-translations-l10n xvfb xauth
  desktop-file-utils
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
