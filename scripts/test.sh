#!/usr/bin/env bash
# Installs what is missing, builds the shop and its tests, and runs every test.
#   bash scripts/test.sh [PRESET]    PRESET: debug (default) or asan
set -euo pipefail
preset="${1:-debug}"
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh"
cd "$root"
cmake --preset "$preset"
cmake --build --preset "$preset"
ctest --preset "$preset"
