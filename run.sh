#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
if [ -x build/default/app/kavlon ]; then
  exec build/default/app/kavlon
fi
echo "The window is not built yet; here is a short kavlon-sim run (plant F, TotK on):"
build/default/cli/kavlon-sim --plant F --kr 1 --tn 10 --option on --ticks 600 | awk -F, 'NR == 1 || NR % 60 == 1'
