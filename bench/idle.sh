#!/usr/bin/env bash
# The shop waiting for a customer: the real program on a private X display
# with its clock running, watched for SECONDS (default 60) through /proc.
# Prints the share of one CPU it used and how often its threads woke up
# (context switches a second, all threads together); the goals are under
# 0.2% and about once a second.
#
#   bash bench/idle.sh [SECONDS]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
cd "$root"
bash "$root/scripts/setup.sh" >/dev/null
cmake --preset release >/dev/null
cmake --build --preset release >/dev/null
export PLIMBO_DRIVE_A="$root/sample" QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"

source "$root/scripts/xserver.sh"
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; x_stop' EXIT
x_server_start

"$root/build/release/src/app/plimbo" &
pid=$!
# Until the main menu is on the display, then a little longer for start-up's tail.
x_wait_until 20 bash -c 'xwininfo -root -tree | grep -q "\"The Plimbo Shop\""' ||
  { echo "the shop's main menu did not appear" >&2; exit 1; }
sleep 2

# "ticks switches": CPU ticks of the process, and context switches of all its threads.
sample() {
  local ticks switches
  ticks="$(awk '{print $14 + $15}' "/proc/$pid/stat")"
  switches="$(cat /proc/"$pid"/task/*/status | awk '/ctxt_switches/ {s += $2} END {print s}')"
  echo "$ticks $switches"
}
read -r t0 s0 < <(sample)
sleep "$seconds"
read -r t1 s1 < <(sample)
hz=$(getconf CLK_TCK)
awk -v t="$((t1 - t0))" -v s="$((s1 - s0))" -v secs="$seconds" -v hz="$hz" \
  'BEGIN { printf "cpu %.3f%%, wakeups %.2f/s (all threads)\n", 100 * t / hz / secs, s / secs }'
