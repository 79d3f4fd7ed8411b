#!/usr/bin/env bash
# Click-to-paint latency of every customer step of a typical order, on the
# offscreen platform and on a real X server (Xvfb): one row a step and
# platform, then the worst median and the worst 99th percentile. The goal is
# one frame: a median within 8 ms and a 99th percentile within 16.7 ms.
#
#   bash bench/latency.sh [REPEATS]     (default 200 a step)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
repeats="${1:-200}"
bash "$root/scripts/setup.sh" libbenchmark-dev >/dev/null
cd "$root"
cmake --preset bench >/dev/null
cmake --build --preset bench --target latency_bench >/dev/null
bench="$root/build/bench/bench/latency_bench"
export PLIMBO_DRIVE_A="$root/sample"
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"

rows="$(mktemp)"
trap 'rm -f "$rows"' EXIT
echo "platform step median_ms p99_ms max_ms"
QT_QPA_PLATFORM=offscreen "$bench" "$repeats" 2>/dev/null | tee -a "$rows"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$bench" "$repeats" 2>/dev/null | tee -a "$rows"
[ "$(wc -l <"$rows")" -eq 26 ] || { echo "the benchmark did not finish every step" >&2; exit 1; }
awk '{ if ($3 > m) m = $3; if ($4 > p) p = $4 } END { printf "worst median %.2f ms, worst p99 %.2f ms\n", m, p }' "$rows"
