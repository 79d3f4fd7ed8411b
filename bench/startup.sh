#!/usr/bin/env bash
# Start-up time and peak memory of the shop against a bare Qt window of the
# same size: each program runs RUNS times (default 20), alternately, on the
# offscreen platform and, when Xvfb is installed, on a private X display.
# Prints the median wall time and peak resident memory of each, and the
# ratios app / bare and app / bare with one label (the goal: 1.25 in time
# and 1.15 in memory against the window with one label).
#
#   bash bench/startup.sh [RUNS]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
runs="${1:-20}"
cd "$root"
cmake --preset bench >/dev/null
cmake --build --preset bench --target startup_app startup_bare >/dev/null
app="$root/build/bench/bench/startup_app"
bare="$root/build/bench/bench/startup_bare"
export PLIMBO_DRIVE_A="$root/sample"
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"

# One run: prints "<wall seconds> <peak KiB>".
stats="$(mktemp)"
measure() {
  local start end
  start=$(date +%s%N)
  /usr/bin/time -f '%M' -o "$stats" "$@" >/dev/null 2>&1
  end=$(date +%s%N)
  echo "$(( (end - start) / 1000 ))e-6 $(tail -1 "$stats")"
}

median() { sort -g | awk '{a[NR]=$1} END {print (NR%2 ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2)}'; }

bench_on() {
  local platform="$1"
  local app_t=() app_m=() bare_t=() bare_m=() text_t=() text_m=()
  for ((i = 0; i < runs; i++)); do
    read -r t m < <(QT_QPA_PLATFORM="$platform" measure "$app");  app_t+=("$t"); app_m+=("$m")
    read -r t m < <(QT_QPA_PLATFORM="$platform" measure "$bare"); bare_t+=("$t"); bare_m+=("$m")
    read -r t m < <(QT_QPA_PLATFORM="$platform" measure "$bare" --label); text_t+=("$t"); text_m+=("$m")
  done
  local at am bt bm lt lm
  at=$(printf '%s\n' "${app_t[@]}" | median); am=$(printf '%s\n' "${app_m[@]}" | median)
  bt=$(printf '%s\n' "${bare_t[@]}" | median); bm=$(printf '%s\n' "${bare_m[@]}" | median)
  lt=$(printf '%s\n' "${text_t[@]}" | median); lm=$(printf '%s\n' "${text_m[@]}" | median)
  printf '%-10s app  %6.3f s %8d KiB\n' "$platform" "$at" "$am"
  printf '%-10s bare %6.3f s %8d KiB\n' "$platform" "$bt" "$bm"
  printf '%-10s bare with one label %6.3f s %8d KiB\n' "$platform" "$lt" "$lm"
  awk -v at="$at" -v bt="$bt" -v am="$am" -v bm="$bm" -v lt="$lt" -v lm="$lm" -v p="$platform" \
    'BEGIN {printf "%-10s ratio to the bare window: time %.2f, memory %.2f\n", p, at / bt, am / bm;
            printf "%-10s ratio to the bare window with one label: time %.2f, memory %.2f (%d runs each)\n",
                   p, at / lt, am / lm, '"$runs"'}'
}

bench_on offscreen
if command -v Xvfb >/dev/null; then
  source "$root/scripts/xserver.sh"
  trap x_stop EXIT
  x_server_start
  bench_on xcb
fi
