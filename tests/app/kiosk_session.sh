#!/usr/bin/env bash
# The plimbo-kiosk X session on a private display, as the display manager
# would start it: the menu appears; a left, middle or right click on the
# background opens no window; after SIGKILL of the shop the menu is back
# within two seconds; after "Clear - Exit" it is back; with an unreadable
# price list the shop's message is on the screen and the shop has been
# started once, and once the file is fixed the menu comes back; a shop that
# fails at every start is started ten times, then the session pauses rather
# than spin, and still ends at once when told to, leaving no pause behind.
# With the idle limit shortened: an order paused for less than the limit is
# intact, one left half-way is gone; a new price list is taken at the first
# idle moment and never while someone uses the shop; a refused one is said
# and never taken, not even after a crash.
# Under emulation (the arm64 tests) the shop starts several times slower:
# PLIMBO_TEST_TIME_FACTOR stretches the waits that include a start by that factor.
#   kiosk_session.sh PLIMBO_KIOSK SAMPLE_FOLDER
set -uo pipefail
kiosk="$1"
sample="$2"
factor="${PLIMBO_TEST_TIME_FACTOR:-1}"
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
# Each session starts as a new kiosk's unless the test keeps the state: the
# price list the kiosk last read is kept there.
state=""
start_session() {
  : >"$log"
  [ -n "$state" ] || state="$(mktemp -d -p "$drive")"
  PLIMBO_DRIVE_A="$drive" XDG_STATE_HOME="$state" PLIMBO_IDLE_RESET="${idle_reset:-0}" "$kiosk" 2>"$log" &
  session=$!
}
stop_session_as_new_kiosk() { stop_session; state=""; }
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
deadline=$((t0 + 2000 * factor))
until new="$(shop_pid)" && [ -n "$new" ] && [ "$new" != "$old" ] && [ -n "$(window_of "The Plimbo Shop")" ]; do
  [ "$(now_ms)" -lt "$deadline" ] || fail "the menu was not back within $((2 * factor)) seconds of SIGKILL"
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
stop_session_as_new_kiosk

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
stop_session_as_new_kiosk

# A customer who walks away, with the idle limit shortened to 3 seconds.
idle_reset=3
cp "$sample/PlimboPrice.txt" "$drive/PlimboPrice.txt"
start_session
wait_for_window "The Plimbo Shop" 20 || fail "the main menu did not appear"
first="$(shop_pid)"
click_in "The Plimbo Shop" 388 192 && click_in "The Plimbo Shop" 380 308 &&
  wait_for_window "Adult Plimbo Selection" || fail "could not open the adult screen"
# Pauses shorter than the limit lose nothing.
for _ in 1 2 3 4; do
  sleep 1.5
  xdotool mousemove_relative 1 1
done
[ "$(shop_pid)" = "$first" ] && window_shows "Adult Plimbo Selection" ||
  fail "an order paused for 1.5 s at a time was lost"
echo "[${SECONDS}s] an order paused for 1.5 s at a time over 6 s is intact"
# Left half-way: the next customer finds a new shop's main menu.
fresh_menu() {
  local now
  now="$(shop_pid)"
  [ -n "$now" ] && [ "$now" != "$1" ] && window_shows "The Plimbo Shop" && ! window_shows "Adult Plimbo Selection"
}
t0="$(now_ms)"
x_wait_until $((8 * factor)) fresh_menu "$first" ||
  fail "an order left half-way was still there $((8 * factor)) s after the last touch"
echo "[${SECONDS}s] an order left half-way was gone, the menu back, $(($(now_ms) - t0)) ms after the last touch"
grep -q "starting the shop afresh: nobody has touched the screen for 3 seconds" "$log" ||
  fail "the session did not say why it started the shop afresh"
# The menu alone is left as it is.
menu_only="$(shop_pid)"
sleep 5
[ "$(shop_pid)" = "$menu_only" ] || fail "the shop was started afresh with only its menu open"

# A new price list: never while someone is using the shop, then at the first idle moment.
shop_list() { tr '\0' '\n' <"/proc/$(shop_pid)/environ" | sed -n 's/^PLIMBO_DRIVE_A=//p'; }
sed 's/,80,/,81,/' "$sample/PlimboPrice.txt" >"$drive/new.txt"
cmp -s "$drive/new.txt" "$sample/PlimboPrice.txt" && fail "the test's new price list is the old one"
xdotool mousemove_relative 1 1   # someone is at the screen when the new list arrives
cp "$drive/new.txt" "$drive/PlimboPrice.txt"
for _ in 1 2 3 4 5; do
  sleep 1
  xdotool mousemove_relative 1 1
done
[ "$(shop_pid)" = "$menu_only" ] || fail "a new price list started the shop afresh while someone was using it"
t0="$(now_ms)"
x_wait_until $((8 * factor)) fresh_menu "$menu_only" ||
  fail "a new price list did not reach the screen $((8 * factor)) s after the last touch"
cmp -s "$(shop_list)/PlimboPrice.txt" "$drive/new.txt" || fail "the shop was started afresh, but not on the new list"
echo "[${SECONDS}s] a new price list reached the screen $(($(now_ms) - t0)) ms after the last touch"

# A list the shop would refuse: said, and never taken, not even after a crash.
printf '"Adult","Nike    ","Running",8.5\r\n' >"$drive/PlimboPrice.txt"
good="$(shop_pid)"
sleep 5
[ "$(shop_pid)" = "$good" ] || fail "the shop was started afresh for a price list it refuses"
grep -q "is refused; the shop keeps the list it last read" "$log" || fail "the refused list was not said in the log"
kill -KILL "$good"
x_wait_until $((10 * factor)) fresh_menu "$good" || fail "after a crash the shop did not come back on the list it last read"
! window_shows "Plimbo" || fail "the refusal was shown though the kiosk has a list it read"
cmp -s "$(shop_list)/PlimboPrice.txt" "$drive/new.txt" || fail "after a crash the shop is not on the list it last read"
echo "[${SECONDS}s] a refused list was said and never taken; after a crash the shop came back on the last good one"
stop_session_as_new_kiosk
idle_reset=""

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
