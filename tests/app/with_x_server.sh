#!/usr/bin/env bash
# Runs a command on a private Xvfb display, with a window manager (openbox)
# placing and framing the windows, on Qt's xcb platform: what a shop's
# desktop does, which the offscreen platform cannot show.
#   with_x_server.sh COMMAND [ARGS...]
set -euo pipefail
if [ -z "${PLIMBO_X_INNER:-}" ]; then
  exec env PLIMBO_X_INNER=1 xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" bash "$0" "$@"
fi
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
trap 'kill "$wm" 2>/dev/null || true' EXIT
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.05
done
export QT_QPA_PLATFORM=xcb
# Under the sanitizers: libxkbcommon-x11 (Qt's keyboard map on X) hands
# strndup a counted buffer with no closing NUL, which strict string checks
# take for an overflow in the system library. Everything else stays checked.
if [ -n "${ASAN_OPTIONS:-}" ]; then
  export ASAN_OPTIONS="${ASAN_OPTIONS//strict_string_checks=1/strict_string_checks=0}"
fi
status=0
"$@" || status=$?
exit "$status"
