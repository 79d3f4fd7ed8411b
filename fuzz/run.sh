#!/usr/bin/env bash
# Fuzzes the price-list reader for SECONDS seconds (default 60), starting from
# the seed corpus in fuzz/corpus. New inputs go to a scratch folder; a crash
# leaves its input in build/fuzz/ as crash-*, to be turned into a test.
#
#   bash fuzz/run.sh [SECONDS]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
cd "$root"
bash "$root/scripts/setup.sh" clang libclang-rt-dev
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target pricefile_fuzzer
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd build/fuzz
./fuzz/pricefile_fuzzer -max_total_time="$seconds" -timeout=5 -rss_limit_mb=1024 -max_len=4096 \
  -print_final_stats=1 "$work" "$root/fuzz/corpus"
