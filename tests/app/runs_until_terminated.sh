#!/usr/bin/env bash
# The built shop, started as the run command starts it, shows its main menu
# on a real X display and stays up with it until it is told to stop.
set -uo pipefail
program="$1"
sample="$2"
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/../../scripts/xserver.sh"
source "$here/../support/xdrive.sh"
trap x_stop EXIT
x_server_start 1024x768 || exit 1
export QT_QPA_PLATFORM=xcb PLIMBO_DRIVE_A="$sample"
"$program" &
pid=$!
if ! wait_for_window "The Plimbo Shop" 20; then
  if kill "$pid" 2>/dev/null; then
    echo "the main menu did not show within 20 s" >&2
  else
    wait "$pid"
    echo "the shop ended with status $? before its main menu showed" >&2
  fi
  exit 1
fi
sleep 2
if ! kill -0 "$pid" 2>/dev/null || [ -z "$(window_of "The Plimbo Shop")" ]; then
  wait "$pid"
  echo "the shop ended by itself, or took its menu away (status $?)" >&2
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
echo "the shop showed its menu and ran until it was terminated"
