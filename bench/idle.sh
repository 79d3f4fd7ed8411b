#!/usr/bin/env bash
# The shop waiting for a customer: the real program on a virtual X display
# with its clock running, watched for SECONDS (default 60) through /proc.
# Prints the share of one CPU it used and how often it woke up (context
# switches a second); the goals are under 0.2% and about once a second.
#
#   bash bench/idle.sh [SECONDS]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
cd "$root"
if [ -z "${PLIMBO_IN_XVFB:-}" ]; then
  bash "$root/scripts/setup.sh" >/dev/null
  cmake --preset release >/dev/null
  cmake --build --preset release >/dev/null
fi
export PLIMBO_DRIVE_A="$root/sample" QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"

if [ -z "${PLIMBO_IN_XVFB:-}" ]; then
  # Runs itself again on a private X display; the inner run prints
  # "ticks switches" of the shop at the start and at the end of the watch.
  read -r t0 s0 t1 s1 <<<"$(PLIMBO_IN_XVFB=1 xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
    bash "$0" "$seconds" | tr '\n' ' ')"
  hz=$(getconf CLK_TCK)
  awk -v t="$((t1 - t0))" -v s="$((s1 - s0))" -v secs="$seconds" -v hz="$hz" \
    'BEGIN { printf "cpu %.3f%%, wakeups %.2f/s\n", 100 * t / hz / secs, s / secs }'
  exit 0
fi

"$root/build/release/src/app/plimbo" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT
sleep 5  # let start-up finish
sample() {
  awk '{print $14 + $15}' "/proc/$pid/stat"
  awk '/ctxt_switches/ {s += $2} END {print s}' "/proc/$pid/status"
}
sample
sleep "$seconds"
sample
