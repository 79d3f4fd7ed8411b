#!/usr/bin/env bash
# Keystroke-to-screen time in the price-list editor, on the offscreen
# platform and on a private Xvfb: the sample list, and a large one (the
# sample with 2,000 records the shop passes over).
#
#   bash bench/keystroke.sh [KEYS]     (default 400)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
keys="${1:-400}"
bash "$root/scripts/setup.sh" libbenchmark-dev >/dev/null
cd "$root"
cmake --preset bench >/dev/null
cmake --build --preset bench --target keystroke_bench >/dev/null
bench="$root/build/bench/bench/keystroke_bench"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$work}"
cp "$root/sample/PlimboPrice.txt" "$work/sample.txt"
{ cat "$root/sample/PlimboPrice.txt"
  for _ in $(seq 200); do sed 's/^"Adult"/"adult"/; s/^"Child"/"child"/' "$root/sample/PlimboPrice.txt"; done
} >"$work/large.txt"
for list in "$work/sample.txt" "$work/large.txt"; do
  echo "offscreen: $(QT_QPA_PLATFORM=offscreen "$bench" "$list" "$keys")"
  echo "xcb:       $(bash "$root/scripts/xserver.sh" "$bench" "$list" "$keys")"
done
