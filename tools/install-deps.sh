#!/bin/bash
# Installs the Debian packages the program, its tests and its tools need.
# Only what is missing is installed, so a second run takes a moment.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev qt6-svg-dev
  qt6-tools-dev qt6-l10n-tools
  libpng-dev libxlsxwriter-dev zlib1g-dev
  fonts-noto-cjk fonts-dejavu-core fonts-liberation poppler-utils
  xvfb xauth imagemagick xdg-utils
  clang libclang-rt-14-dev
  libmosquitto-dev mosquitto mosquitto-clients openssl qtkeychain-qt6-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
