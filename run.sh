#!/usr/bin/env bash
# Installs what is missing, builds the optimised program and starts it.
set -euo pipefail
cd "$(dirname "$0")"

scripts/deps.sh
cmake --preset default >/dev/null
cmake --build --preset default

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: start Kavlon 2 on a desktop, or without one as: xvfb-run -s \"-screen 0 1920x1080x24\" ./run.sh" >&2
  exit 1
fi
exec build/default/app/kavlon "$@"
