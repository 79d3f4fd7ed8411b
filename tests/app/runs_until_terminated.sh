#!/usr/bin/env bash
# The built shop, started as the run command starts it, stays up with its
# main menu until it is told to stop.
set -euo pipefail
program="$1"
sample="$2"
export QT_QPA_PLATFORM=offscreen PLIMBO_DRIVE_A="$sample"
"$program" &
pid=$!
sleep 3
if ! kill -0 "$pid" 2>/dev/null; then
  wait "$pid" || true
  echo "the shop ended by itself" >&2
  exit 1
fi
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
# 143 is 128 + SIGTERM: stopped by the signal, not by an error of its own.
if [ "$status" -ne 143 ] && [ "$status" -ne 0 ]; then
  echo "the shop stopped with status $status" >&2
  exit 1
fi
echo "the shop ran until it was terminated"
