#!/usr/bin/env bash
# A long day at the kiosk in one process: the monkey test drives the real
# screens for EVENTS random customer events (default 200,000) and samples the
# resident set size every 10,000, each time with only the main menu open.
# Ends with how much it grew after the first 10,000 events; the goal is less
# than 1 MiB in all.
#
#   bash bench/soak.sh [EVENTS]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
events="${1:-200000}"
bash "$root/scripts/setup.sh" >/dev/null
cd "$root"
cmake --preset debug >/dev/null
cmake --build --preset debug --target tst_monkey >/dev/null
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"

samples="$(mktemp)"
trap 'rm -f "$samples"' EXIT
QT_QPA_PLATFORM=offscreen PLIMBO_MONKEY_EVENTS="$events" PLIMBO_MONKEY_RSS_EVERY=10000 \
  "$root/build/debug/tests/tst_monkey" -maxwarnings 0 2>&1 |
  grep -E 'rss after|FAIL|seed' | sed 's/^QINFO *: TestMonkey::randomEvents() //' | tee "$samples"
grep -q 'rss after 10000 events' "$samples" || { echo "the soak did not get past 10000 events" >&2; exit 1; }
awk '/rss after/ { kib[$3] = $5; last = $5 } END { printf "rss growth after 10000 events: %d KiB\n", last - kib[10000] }' "$samples"
