#!/usr/bin/env bash
# Installs what is missing, builds the shop and its tests, and runs every test.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh"
cd "$root"
cmake --preset debug
cmake --build --preset debug
ctest --preset debug
