#!/usr/bin/env bash
# Installs what is missing, builds the shop and opens it on the sample price list.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh"
cd "$root"
cmake --preset release >/dev/null
cmake --build --preset release
export PLIMBO_DRIVE_A="${PLIMBO_DRIVE_A:-$root/sample}"
exec "$root/build/release/src/app/plimbo"
