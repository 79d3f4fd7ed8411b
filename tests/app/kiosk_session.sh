#!/usr/bin/env bash
# The plimbo-kiosk X session on a private display, as the display manager
# would start it: the menu appears; a left, middle or right click on the
# background opens no window; after SIGKILL of the shop the menu is back
# within two seconds; after "Clear - Exit" it is back; with an unreadable
# price list the shop's message is on the screen and the shop has been
# started once, and once the file is fixed the menu comes back; a shop that
# fails at every start is started ten times, then the session pauses rather
# than spin, and still ends at once when told to, leaving no pause behind.
#   kiosk_session.sh PLIMBO_KIOSK SAMPLE_FOLDER
set -uo pipefail
kiosk="$1"
sample="$2"
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/../../scripts/xserver.sh"
source "$here/../support/xdrive.sh"

drive="$(mktemp -d)"
log="$drive/session.log"
session=""
stop_session() {
  if [ -n "$session" ]; then
    kill "$session" 2>/dev/null
    wait "$session" 2>/dev/null
    session=""
  fi
}
trap 'stop_session; x_stop; rm -rf "$drive"' EXIT
fail() {
  echo "FAIL: $*" >&2
  echo "--- the session said:" >&2
  cat "$log" >&2
  exit 1
}
start_session() {
  : >"$log"
  PLIMBO_DRIVE_A="$drive" "$kiosk" 2>"$log" &
  session=$!
}
starts() { grep -c 'starting the shop' "$log"; }
shop_pid() { pgrep -P "$session" -x plimbo; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }
# Waits up to SECONDS for the session's log to say PATTERN, or fails with MESSAGE.
wait_for_log() {
  x_wait_until "$2" grep -q "$1" "$log" || fail "$3"
}

x_server_start 1024x768 || exit 1

# The menu appears.
cp "$sample/PlimboPrice.txt" "$drive/PlimboPrice.txt"
start_session
wait_for_window "The Plimbo Shop" 20 || fail "the main menu did not appear"
echo "[${SECONDS}s] the menu appears"

# Nothing on the background opens anything: after each click the same
# windows are on the screen. (The window manager handles a click as it
# arrives; half a second is ample for a menu to have opened.)
before="$(viewable_windows)"
for button in 1 2 3; do
  xdotool mousemove 3 3 click "$button"
  sleep 0.5
  [ "$(viewable_windows)" = "$before" ] || fail "button $button on the background opened a window"
done
echo "[${SECONDS}s] left, middle and right clicks on the background open nothing"

# SIGKILL: back within two seconds.
old="$(shop_pid)"
[ -n "$old" ] || fail "no shop running"
t0="$(now_ms)"
kill -KILL "$old"
deadline=$((t0 + 2000))
until new="$(shop_pid)" && [ -n "$new" ] && [ "$new" != "$old" ] && [ -n "$(window_of "The Plimbo Shop")" ]; do
  [ "$(now_ms)" -lt "$deadline" ] || fail "the menu was not back within two seconds of SIGKILL"
  sleep 0.02
done
echo "[${SECONDS}s] after SIGKILL the menu was back in $(($(now_ms) - t0)) ms"

# "Clear - Exit": back for the next customer.
old="$new"
order_then_clear_exit || fail "could not make an order and press Clear - Exit"
deadline=$((SECONDS + 10))
until new="$(shop_pid)" && [ -n "$new" ] && [ "$new" != "$old" ] && wait_for_window "The Plimbo Shop" 1; do
  [ "$SECONDS" -lt "$deadline" ] || fail "the menu did not come back after Clear - Exit"
  sleep 0.05
done
[ "$(starts)" -eq 3 ] || fail "$(starts) starts, not 3"
echo "[${SECONDS}s] after Clear - Exit the menu is back"
stop_session

# An unreadable price list: the message stays, the shop is not started again.
printf '"Adult","Nike    ","Running",8.5\r\n' >"$drive/PlimboPrice.txt"
start_session
wait_for_window "Plimbo" 20 || fail "the shop's message about the price list did not appear"
box="$(window_of "Plimbo")"
sleep 1
[ "$(starts)" -eq 1 ] || fail "the shop was started $(starts) times while its message was up"
xdotool windowactivate --sync "$box" key Return
wait_for_log "refused" 10 "the session did not take the refusal"
sleep 1.5
[ "$(starts)" -eq 1 ] || fail "the shop was started again with the same price list"
[ -z "$(window_of "The Plimbo Shop")" ] || fail "a menu came up on a refused price list"
echo "[${SECONDS}s] with an unreadable price list the message showed, and the shop was started once"

# Fixed: the menu comes back by itself.
cp "$sample/PlimboPrice.txt" "$drive/PlimboPrice.txt"
wait_for_window "The Plimbo Shop" 10 || fail "the menu did not come back after the price list was fixed"
[ "$(starts)" -eq 2 ] || fail "$(starts) starts, not 2"
echo "[${SECONDS}s] once the price list was fixed the menu came back"
stop_session

# A shop that fails at every start (a stand-in in its place): ten starts,
# then a pause instead of a spin; the session still ends at once.
printf '#!/bin/sh\nexit 1\n' >"$drive/failing-shop"
chmod +x "$drive/failing-shop"
sed "s|^shop=.*|shop=\"$drive/failing-shop\"|" "$kiosk" >"$drive/kiosk-with-failing-shop"
chmod +x "$drive/kiosk-with-failing-shop"
kiosk="$drive/kiosk-with-failing-shop"
start_session
wait_for_log "waiting 60 seconds first" 20 "a shop failing at every start was not paused"
sleep 1
[ "$(starts)" -eq 10 ] || fail "a shop failing at every start was started $(starts) times, not 10"
pause="$(pgrep -P "$session" -x sleep)"
[ -n "$pause" ] || fail "the paused session has no pause of its own"
t0="$(now_ms)"
stop_session
[ $(($(now_ms) - t0)) -lt 2000 ] || fail "the paused session took $(($(now_ms) - t0)) ms to end"
! kill -0 $pause 2>/dev/null || fail "the session's pause (sleep, pid $pause) was left running after it ended"
echo "[${SECONDS}s] a shop failing at every start: ten starts, then a pause; the session ended at once, pause and all"
