#!/usr/bin/env bash
# Renders every screen from the sample price list into docs/screens/, and
# the menu and the adult screen again as a screen scaled twice shows them.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh"
cd "$root"
cmake --preset debug >/dev/null
cmake --build --preset debug --target plimbo_screenshots
"$root/build/debug/tools/plimbo_screenshots" "$root/sample" "$root/docs/screens"
QT_SCALE_FACTOR=2 "$root/build/debug/tools/plimbo_screenshots" "$root/sample" "$root/docs/screens"
