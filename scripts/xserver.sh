#!/usr/bin/env bash
# A private X display for the shop's tests, benchmarks and browser view.
# Xvfb picks a free display number itself and says which (-displayfd), so
# runs side by side never race for one; only holders of its key may connect;
# nothing listens on TCP. Every wait is for a condition, with a limit, and a
# part that does not come up is reported with its own words.
#
# Run, it runs one command on such a display, on Qt's xcb platform, and stops
# everything it started when the command ends, whatever its status:
#
#   bash scripts/xserver.sh [--size WxH] [--wm openbox|none] COMMAND [ARGS...]
#
# Sourced, it gives a script the same parts to manage with its own:
#
#   x_server_start [WxH]        start Xvfb; exports DISPLAY and XAUTHORITY
#   x_window_manager_start CMD  start a window manager and wait until it manages the screen
#   x_wait_for_window_manager   wait until some window manager manages the screen
#   x_answers                   whether the display in DISPLAY answers
#   x_stop                      stop everything started here (call it from your EXIT trap)

x_pids=()
x_dir=""

x_fail() {
  echo "xserver: $*" >&2
  return 1
}

# Waits up to $1 seconds until the command after it succeeds.
x_wait_until() {
  local seconds="$1"
  shift
  local deadline=$((SECONDS + seconds))
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.05
  done
}

x_answers() {
  [ -n "${DISPLAY:-}" ] && timeout 5 xprop -root -notype _NET_SUPPORTING_WM_CHECK >/dev/null 2>&1
}

# A window manager manages the screen when the check window the root names
# exists and names itself (one that has gone leaves the root's word behind).
x_window_manager_runs() {
  local check
  check="$(timeout 5 xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | sed -n 's/.*window id # //p')"
  [ -n "$check" ] && [[ "$(timeout 5 xprop -id "$check" _NET_SUPPORTING_WM_CHECK 2>/dev/null)" == *"window id # $check" ]]
}

x_server_start() {
  local size="${1:-1280x1024}"
  x_dir="$(mktemp -d "${TMPDIR:-/tmp}/plimbo-x.XXXXXX")" || return 1
  # The server takes every key in its file, whatever display it names; the
  # clients look for their display's, added once the number is known.
  local cookie
  cookie="$(mcookie)"
  export XAUTHORITY="$x_dir/Xauthority"
  : >"$XAUTHORITY"
  xauth -q -f "$XAUTHORITY" add :0 MIT-MAGIC-COOKIE-1 "$cookie" || x_fail "xauth could not write a key" || return 1
  # -noreset: a server that resets when its last client leaves turns away
  # the next one while it starts over.
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset -auth "$XAUTHORITY" \
    3>"$x_dir/display" 2>"$x_dir/Xvfb.log" </dev/null &
  local xvfb=$!
  x_pids+=("$xvfb")
  # Until it names its display, or ends: one that has died is said at once.
  x_xvfb_settled() { test -s "$x_dir/display" || ! kill -0 "$1" 2>/dev/null; }
  if ! x_wait_until 20 x_xvfb_settled "$xvfb" || ! test -s "$x_dir/display"; then
    x_fail "Xvfb did not come up: $(cat "$x_dir/Xvfb.log")"
    return 1
  fi
  local number
  number="$(tr -dc '0-9' <"$x_dir/display")"
  export DISPLAY=":$number"
  xauth -q -f "$XAUTHORITY" add "$DISPLAY" MIT-MAGIC-COOKIE-1 "$cookie"
  x_answers || x_fail "Xvfb on $DISPLAY does not answer: $(cat "$x_dir/Xvfb.log")" || return 1
  # Under the sanitizers: libxkbcommon-x11 (Qt's keyboard map on X) hands
  # strndup a counted buffer with no closing NUL, which strict string checks
  # take for an overflow in the system library. Everything else stays checked.
  if [ -n "${ASAN_OPTIONS:-}" ]; then
    export ASAN_OPTIONS="${ASAN_OPTIONS//strict_string_checks=1/strict_string_checks=0}"
  fi
}

x_wait_for_window_manager() {
  x_wait_until 20 x_window_manager_runs || x_fail "no window manager came up on $DISPLAY"
}

# Starts a window manager (by default openbox with its own settings) and
# waits until it manages the screen; its words go to its log.
x_window_manager_start() {
  [ "$#" -gt 0 ] || set -- openbox --sm-disable
  "$@" >"$x_dir/wm.log" 2>&1 </dev/null &
  local wm=$!
  x_pids+=("$wm")
  if ! x_wait_until 20 x_window_manager_runs; then
    kill -0 "$wm" 2>/dev/null || wait "$wm"
    x_fail "the window manager ($1) did not come up on $DISPLAY: $(cat "$x_dir/wm.log")"
    return 1
  fi
}

x_stop() {
  local pid i
  for ((i = ${#x_pids[@]} - 1; i >= 0; i--)); do
    pid="${x_pids[i]}"
    kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  done
  x_pids=()
  [ -n "$x_dir" ] && rm -rf "$x_dir"
  x_dir=""
  return 0
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -uo pipefail
  size=1280x1024
  wm=openbox
  while [ "$#" -gt 0 ]; do
    case "$1" in
      --size) size="$2"; shift 2 ;;
      --wm) wm="$2"; shift 2 ;;
      --) shift; break ;;
      *) break ;;
    esac
  done
  [ "$#" -gt 0 ] || { echo "usage: xserver.sh [--size WxH] [--wm openbox|none] COMMAND [ARGS...]" >&2; exit 2; }
  # The command runs in the background, its input kept, so that a signal
  # here is acted on at once: the command is stopped first, then the rest.
  command_pid=""
  stop_command() {
    [ -n "$command_pid" ] && kill "$command_pid" 2>/dev/null && wait "$command_pid" 2>/dev/null
    x_stop
  }
  trap stop_command EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM
  x_server_start "$size" || exit 1
  case "$wm" in
    openbox) x_window_manager_start || exit 1 ;;
    none) ;;
    *) echo "xserver: no window manager '$wm'" >&2; exit 2 ;;
  esac
  export QT_QPA_PLATFORM=xcb
  "$@" <&0 &
  command_pid=$!
  status=0
  wait "$command_pid" || status=$?
  command_pid=""
  exit "$status"
fi
