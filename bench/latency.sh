#!/usr/bin/env bash
# Click-to-paint latency of every customer step of a typical order, on the
# offscreen platform and on a real X server (a private Xvfb): one row a step
# and platform, then the worst median and the worst 99th percentile. The goal
# is one frame: a median within 8 ms and a 99th percentile within 16.7 ms.
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
export PLIMBO_DRIVE_A="${PLIMBO_DRIVE_A:-$root/sample}"
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"

rows="$(mktemp)"
said="$(mktemp)"
trap 'rm -f "$rows" "$said"' EXIT

# measure PLATFORM [WRAPPER...]: the benchmark's rows on one platform; when
# it fails, what it said, and this script fails too.
measure() {
  local platform="$1"
  shift
  local before
  before="$(wc -l <"$rows")"
  if ! QT_QPA_PLATFORM="$platform" "$@" "$bench" "$repeats" 2>"$said" | tee -a "$rows"; then
    echo "the latency benchmark failed on $platform:" >&2
    cat "$said" >&2
    exit 1
  fi
  if [ "$(wc -l <"$rows")" -eq "$before" ]; then
    echo "the latency benchmark measured no step on $platform:" >&2
    cat "$said" >&2
    exit 1
  fi
}

echo "platform step median_ms p99_ms max_ms"
measure offscreen
measure xcb bash "$root/scripts/xserver.sh" --wm none
awk '{ if ($3 > m) m = $3; if ($4 > p) p = $4 } END { printf "worst median %.2f ms, worst p99 %.2f ms\n", m, p }' "$rows"
