#!/usr/bin/env bash
# SPDX-License-Identifier: Zlib
# Installs the Debian packages the game and its tests need, when any is missing.
# Quiet and quick when everything is already there.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config clang clang-format
  libsdl2-dev libsdl2-mixer-dev libsdl2-image-dev timgm6mb-soundfont
  libgtest-dev libbenchmark-dev
  xvfb xdotool x11-apps sox fluidsynth
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
