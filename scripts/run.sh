#!/usr/bin/env bash
# Installs what is missing, builds the shop and opens it on the sample price
# list: on this machine's display, or in a web browser where none answers.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh"
cd "$root"
cmake --preset release >/dev/null
cmake --build --preset release
export PLIMBO_DRIVE_A="${PLIMBO_DRIVE_A:-$root/sample}"
exec bash "$root/scripts/open-shop.sh" "$root/build/release/src/app/plimbo" "$root/build/release/kiosk/plimbo-kiosk"
