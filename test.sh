#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite twice:
# the optimised build and the AddressSanitizer + UndefinedBehaviorSanitizer build;
# then builds and checks the Debian package (scripts/package.sh) and runs each
# fuzz target for a short while (scripts/fuzz.sh).
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh

for preset in default asan; do
  echo "== $preset build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done

scripts/package.sh
scripts/fuzz.sh
