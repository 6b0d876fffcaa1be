#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running need.
# Quick and silent when everything is already there.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  clang libclang-rt-14-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-liberation2 fonts-urw-base35 fontconfig
  xvfb xauth imagemagick poppler-utils
  qt6-translations-l10n
  dpkg-dev appstream lintian file desktop-file-utils man-db binutils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo=()
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then sudo=(sudo); else
    echo "These packages are missing and this user cannot install them: ${missing[*]}" >&2
    exit 1
  fi
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update
"${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
