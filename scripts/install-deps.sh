#!/usr/bin/env bash
# Installs the Debian 12 packages the game builds and runs with; skips those already present.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config clang-format
  qt6-base-dev qt6-multimedia-dev qt6-l10n-tools qt6-tools-dev-tools
  libjpeg62-turbo-dev libpng-dev zlib1g-dev libgif-dev
  libcurl4-openssl-dev libssl-dev libarchive-dev libchm-dev fp-utils
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-wine fonts-dejavu-core
  xvfb xauth openbox x11-utils xdotool openssl python3
  appstream desktop-file-utils
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
