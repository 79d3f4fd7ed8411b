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
# intact, one left half-way is gone; a new price list, shop or session and
# new settings are taken at the first idle moment and never while someone
# uses the shop; a refused list is said and never taken, not even after a
# crash; one the checker could not judge is taken once it can. Also: the
# settings as read, the screen saver, new settings at a customer's finish.
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
  PLIMBO_DRIVE_A="$drive" XDG_STATE_HOME="$state" PLIMBO_IDLE_RESET="${idle_reset-0}" \
    PLIMBO_RESTART_REQUEST="$drive/restart" "${program:-$kiosk}" 2>"$log" &
  session=$!
}
stop_session_as_new_kiosk() { stop_session; state=""; }
starts() { grep -cx 'plimbo-kiosk: starting the shop' "$log"; }
session_ended() { ! ps -o stat= -p "$session" | grep -qv Z; }   # a zombie until waited for
# The session ends for new settings $1: status 0, saying so, the request left
# in place, the window manager it ran ($2) gone.
ends_for_settings() {
  x_wait_until 10 session_ended || fail "the session did not end for new settings $1"
  wait "$session"
  local status=$?
  session=""
  state=""
  [ "$status" -eq 0 ] && [ -e "$drive/restart" ] && ! kill -0 "$2" 2>/dev/null &&
    grep -q "the kiosk's settings changed; the session ends so that they take effect" "$log" ||
    fail "ended for new settings $1: status $status, request $(ls "$drive/restart"), window manager $2 left?"
  rm "$drive/restart"
}
shop_pid() { pgrep -P "$session" -x plimbo; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }
# Waits up to SECONDS for the session's log to say PATTERN, or fails with MESSAGE.
wait_for_log() {
  x_wait_until "$2" grep -q "$1" "$log" || fail "$3"
}
# Whether the log says PATTERN more than COUNT times.
said_more() { [ "$(grep -c "$1" "$log")" -gt "$2" ]; }

x_server_start 1024x768 || exit 1
# The kiosk's own settings file is the test's, empty unless a row writes it.
sed "s|^defaults=.*|defaults=\"$drive/defaults\"|" "$kiosk" >"$drive/plimbo-kiosk"
chmod +x "$drive/plimbo-kiosk"
kiosk="$drive/plimbo-kiosk"

# The settings as the session reads them (said once, as it starts) and the X
# server's screen saver after it: off unless PLIMBO_BLANK_AFTER asks for a
# dark screen. Each row changes what the one before left, from the server's
# own 600 seconds.
grep -q 'does not have the DPMS' <(xset q) && echo "Xvfb has no DPMS here: only its screen saver is checked"
cp "$sample/PlimboPrice.txt" "$drive/PlimboPrice.txt"
while IFS='|' read -r idle blank screen_saver said complaint defaults; do
  state="$drive/settings"
  printf '%s\n' "$defaults" >"$drive/defaults"
  PLIMBO_BLANK_AFTER="$blank" idle_reset="$idle" start_session
  wait_for_log "starting the shop" 20 "the session did not start"
  for line in "Plimbo Shop [0-9.]*; $said" ${complaint:+"$complaint"}; do
    [ "$(grep -c "^plimbo-kiosk: $line\$" "$log")" -eq 1 ] || fail "$idle, $blank: not said once: $line"
  done
  saver="$(xset q | awk '/prefer blanking:/ {b = $3} /timeout:/ {t = $2} END {print b, t}')"
  [ "$saver" = "$screen_saver" ] || fail "$idle, $blank: the screen saver's blanking and timeout are $saver"
  stop_session_as_new_kiosk
done <<'ROWS'
||no 0|the shop starts afresh after 180 seconds without a touch; the screen never goes dark|
090|0600|yes 600|the shop starts afresh after 90 seconds without a touch; the screen goes dark after 600 seconds without a touch|
4294968|32768|no 0|the shop starts afresh after 180 seconds without a touch; the screen never goes dark|PLIMBO_IDLE_RESET=4294968 is not a whole number of seconds from 0 to 4294967; using 180
5|0|no 0|the shop starts afresh after 7 seconds without a touch; the screen never goes dark||PLIMBO_IDLE_RESET=7
5|0|no 0|the shop starts afresh after 5 seconds without a touch; the screen never goes dark|.*/defaults cannot be read as NAME=value lines; the session goes on without it|PLIMBO_IDLE_RESET=7 (
5|0|no 0|the shop starts afresh after 5 seconds without a touch; the screen never goes dark|.*/defaults cannot be read as NAME=value lines; the session goes on without it|export QT-SCALE=2
0|32767|yes 32767|the shop is never started afresh for want of a touch; the screen goes dark after 32767 seconds without a touch|
3s|ten|no 0|the shop starts afresh after 180 seconds without a touch; the screen never goes dark|PLIMBO_BLANK_AFTER=ten is not a whole number of seconds from 0 to 32767; the screen never goes dark
ROWS
: >"$drive/defaults"
echo "[${SECONDS}s] the settings are read as they are meant, the kiosk's own file's first; the screen saver is as they ask"

# A state folder that cannot be written: the session keeps its copy
# elsewhere, and the list is checked and taken, never taken for refused.
state="$drive/unwritable"
mkdir "$state" && : >"$state/plimbo-kiosk"
start_session
wait_for_log "the shop reads the price list" 20 "a good list was not taken with an unwritable state folder"
grep -q "cannot keep a copy of the price list in $state/plimbo-kiosk; this session keeps it in" "$log" &&
  ! grep -q "refused" "$log" || fail "with an unwritable state folder the list was not kept elsewhere"
stop_session_as_new_kiosk
echo "[${SECONDS}s] with an unwritable state folder the list is kept elsewhere and taken"

# The menu appears. A request for new settings left from before the
# session (its end should have taken it away) is not one.
cp "$sample/PlimboPrice.txt" "$drive/PlimboPrice.txt"
touch -d '1 minute ago' "$drive/restart"
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
deadline=$((SECONDS + 10 * factor))
until new="$(shop_pid)" && [ -n "$new" ] && [ "$new" != "$old" ] && wait_for_window "The Plimbo Shop" 1; do
  [ "$SECONDS" -lt "$deadline" ] || fail "the menu did not come back after Clear - Exit"
  sleep 0.05
done
[ "$(starts)" -eq 3 ] || fail "$(starts) starts, not 3"
echo "[${SECONDS}s] after Clear - Exit the menu is back"

# New settings, with the idle reset off: the session ends when a customer finishes.
touch "$drive/restart"
wm="$(pgrep -P "$session" -x openbox)"
order_then_clear_exit || fail "could not make an order and press Clear - Exit"
ends_for_settings "when the customer finished" "$wm"
echo "[${SECONDS}s] new settings ended the session when the customer finished"

# An unreadable price list: the message stays, the shop is not started
# again, before the answer or after, however long (twice the idle limit).
idle_reset=2
printf '"Adult","Nike    ","Running",8.5\r\n' >"$drive/PlimboPrice.txt"
start_session
wait_for_window "Plimbo" 20 || fail "the shop's message about the price list did not appear"
box="$(window_of "Plimbo")"
sleep 5
[ "$(starts)" -eq 1 ] && [ "$(window_of "Plimbo")" = "$box" ] ||
  fail "the shop was started $(starts) times while its message was up"
xdotool windowactivate --sync "$box" key Return
wait_for_log "the shop refused .*; it starts again when .* changes" 10 "the session did not take the refusal"
sleep 3
[ "$(starts)" -eq 1 ] || fail "the shop was started again with the same price list"
[ -z "$(window_of "The Plimbo Shop")" ] || fail "a menu came up on a refused price list"
echo "[${SECONDS}s] with an unreadable price list the message showed, and the shop was started once"

# Fixed: the menu comes back by itself.
cp "$sample/PlimboPrice.txt" "$drive/PlimboPrice.txt"
wait_for_window "The Plimbo Shop" $((10 * factor)) || fail "the menu did not come back after the price list was fixed"
[ "$(starts)" -eq 2 ] || fail "$(starts) starts, not 2"
echo "[${SECONDS}s] once the price list was fixed the menu came back"
stop_session_as_new_kiosk
unset idle_reset

# A customer who walks away, with the idle limit shortened to 3 seconds; the
# session, the shop and the checker are the test's copies and stand-ins.
idle_reset=3
bin="$drive/bin"
mkdir "$bin"
configured() { sed -n "s/^$1=\"\(.*\)\"\$/\1/p" "$kiosk"; }
# The shop stand-in turns stricter (it refuses every list) while the file
# "stricter" is there; the checker's counts its runs.
mkdir "$drive/bad" && printf '"Adult","Nike    ","Running",8.5\r\n' >"$drive/bad/PlimboPrice.txt"
printf '#!/bin/sh\n[ -e "%s/stricter" ] && export PLIMBO_DRIVE_A="%s/bad"\nexec "%s" "$@"\n' \
  "$drive" "$drive" "$(configured shop)" >"$bin/plimbo"
printf '#!/bin/sh\necho >>"%s/checks"\n[ -e "%s" ] && kill -KILL $$\nexec "%s" "$@"\n' \
  "$drive" "$drive/killed" "$(configured checker)" >"$bin/check"
checks() { cat "$drive/checks" 2>/dev/null | wc -l; }
sed -e "s|^shop=.*|shop=\"$bin/plimbo\"|" -e "s|^checker=.*|checker=\"$bin/check\"|" -e "s|^retry=.*|retry=6|" \
  "$kiosk" >"$bin/plimbo-kiosk"
chmod +x "$bin"/*
program="$bin/plimbo-kiosk"
cp "$sample/PlimboPrice.txt" "$drive/PlimboPrice.txt"
# A new kiosk whose list the checker could not judge (it was killed): the
# shop runs on the disk's list, is started afresh when left alone, and the
# check is tried again at most once every retry (6 s here), not every second.
touch "$drive/killed"
start_session
wait_for_window "The Plimbo Shop" 20 || fail "the main menu did not appear"
unjudged_shop="$(shop_pid)"
click_in "The Plimbo Shop" 388 192 && click_in "The Plimbo Shop" 380 308 &&
  wait_for_window "Adult Plimbo Selection" || fail "could not open the adult screen"
fresh_menu() {
  local now
  now="$(shop_pid)"
  [ -n "$now" ] && [ "$now" != "$1" ] && window_shows "The Plimbo Shop" && ! window_shows "Adult Plimbo Selection"
}
x_wait_until $((8 * factor)) fresh_menu "$unjudged_shop" ||
  fail "on a new kiosk whose list was not judged an order left half-way was never ended"
seen="$(checks)"
sleep 3
[ $(($(checks) - seen)) -le 1 ] || fail "a list the checker could not judge was checked $(($(checks) - seen)) times in 3 s"
rm "$drive/killed"
x_wait_until $((10 * factor)) [ -f "$state/plimbo-kiosk/PlimboPrice.txt" ] || fail "the list was not checked again once it could be"
echo "[${SECONDS}s] a new kiosk's unjudged list: the idle reset works; checked $(checks) times, then taken"
rm -f "$drive/checks"
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
t0="$(now_ms)"
x_wait_until $((8 * factor)) fresh_menu "$first" ||
  fail "an order left half-way was still there $((8 * factor)) s after the last touch"
echo "[${SECONDS}s] an order left half-way was gone, the menu back, $(($(now_ms) - t0)) ms after the last touch"
grep -q "starting the shop afresh: nobody has touched the screen for 3 seconds" "$log" ||
  fail "the session did not say why it started the shop afresh"
! grep -qxE 'Terminated|Killed' "$log" || fail "the shell's word on an ended shop or checker is in the log"
# The menu alone is left as it is.
menu_only="$(shop_pid)"
sleep 5
[ "$(shop_pid)" = "$menu_only" ] || fail "the shop was started afresh with only its menu open"

# An order left half-way while a new list arrives (not taken while someone
# is at the screen), then left alone: the next customer's shop is on it.
shop_list() { tr '\0' '\n' <"/proc/$(shop_pid)/environ" | sed -n 's/^PLIMBO_DRIVE_A=//p'; }
click_in "The Plimbo Shop" 388 192 && click_in "The Plimbo Shop" 380 308 &&
  wait_for_window "Adult Plimbo Selection" || fail "could not open the adult screen"
sed 's/,80,/,79,/' "$sample/PlimboPrice.txt" >"$drive/halfway.txt"
xdotool mousemove_relative 1 1
cp "$drive/halfway.txt" "$drive/PlimboPrice.txt"
for _ in 1 2 3 4 5; do sleep 1; xdotool mousemove_relative 1 1; done
[ "$(shop_pid)" = "$menu_only" ] && window_shows "Adult Plimbo Selection" || fail "a new list ended an order in progress"
x_wait_until $((8 * factor)) fresh_menu "$menu_only" && cmp -s "$(shop_list)/PlimboPrice.txt" "$drive/halfway.txt" ||
  fail "after an order left half-way the next shop is not on the list that arrived meanwhile"
echo "[${SECONDS}s] an order left half-way while a new list arrived: the next shop is on the new list"
menu_only="$(shop_pid)"

# A new price list: never while someone is using the shop, then at the first idle moment.
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

# A list written over the last one in place, with its size and time: taken
# at the next start (a crash here), though its stamp is the old one's.
sed 's/,80,/,83,/' "$sample/PlimboPrice.txt" >"$drive/inplace.txt"
touch -r "$drive/PlimboPrice.txt" "$drive/when"
cat "$drive/inplace.txt" >"$drive/PlimboPrice.txt" && touch -r "$drive/when" "$drive/PlimboPrice.txt"
good="$(shop_pid)"
kill -KILL "$good"
x_wait_until $((10 * factor)) fresh_menu "$good" && cmp -s "$(shop_list)/PlimboPrice.txt" "$drive/inplace.txt" ||
  fail "a list written in place with the old one's size and time was not taken at the next start"
echo "[${SECONDS}s] a list written in place with the old one's size and time was taken at the next start"

# A list the shop would refuse: said, and never taken, not even after a crash.
printf '"Adult","Nike    ","Running",8.5\r\n' >"$drive/PlimboPrice.txt"
good="$(shop_pid)"
sleep 5
[ "$(shop_pid)" = "$good" ] || fail "the shop was started afresh for a price list it refuses"
grep -q "is refused; the shop keeps the list it last read" "$log" || fail "the refused list was not said in the log"
kill -KILL "$good"
x_wait_until $((10 * factor)) fresh_menu "$good" || fail "after a crash the shop did not come back on the list it last read"
! window_shows "Plimbo" || fail "the refusal was shown though the kiosk has a list it read"
cmp -s "$(shop_list)/PlimboPrice.txt" "$drive/inplace.txt" || fail "after a crash the shop is not on the list it last read"
echo "[${SECONDS}s] a refused list was said and never taken; after a crash the shop came back on the last good one"

# A list the checker came to no verdict on (it was killed) is no refusal:
# said once, and taken at an idle moment once the checker judges it.
sed 's/,80,/,82,/' "$sample/PlimboPrice.txt" >"$drive/third.txt"
touch "$drive/killed"
good="$(shop_pid)"
cp "$drive/third.txt" "$drive/PlimboPrice.txt"
said="$(grep -c "could not be checked" "$log")"
x_wait_until 8 said_more "could not be checked: the checker ended with status 137; it is tried again" "$said" ||
  fail "a killed checker was not said"
sleep 2
rm "$drive/killed"
x_wait_until $((14 * factor)) fresh_menu "$good" && cmp -s "$(shop_list)/PlimboPrice.txt" "$drive/third.txt" &&
  [ "$(grep -c "could not be checked" "$log")" -eq $((said + 1)) ] || fail "a list the checker could not judge was not taken once it could"
echo "[${SECONDS}s] a list the checker could not judge was said once, and taken when it could"

# A named pipe, then a list larger than any price list (a good one with
# megabytes of blank lines): refused without being copied, the list last
# read kept; the next good list is still taken.
good="$(shop_pid)"
said="$(grep -c "PlimboPrice.txt is refused" "$log")"
rm "$drive/PlimboPrice.txt" && mkfifo "$drive/PlimboPrice.txt"
x_wait_until 8 said_more "PlimboPrice.txt is refused" "$said" || fail "a named pipe as the price list was not refused"
{ cat "$drive/third.txt"; head -c 5000000 /dev/zero | tr '\0' '\n'; } >"$drive/huge.txt"
mv "$drive/huge.txt" "$drive/PlimboPrice.txt"
wait_for_log "It is larger than 4194304 bytes" 8 "a list larger than any price list was not refused"
cp "$drive/new.txt" "$drive/PlimboPrice.txt"
x_wait_until $((8 * factor)) fresh_menu "$good" && cmp -s "$(shop_list)/PlimboPrice.txt" "$drive/new.txt" ||
  fail "after a named pipe and a huge file the next good list was not taken"
echo "[${SECONDS}s] a named pipe and a huge file were refused; the next good list was taken"

# Puts $2 in place of the file $1 as an upgrade does (renamed over it),
# while someone is at the screen.
upgrade() { chmod +x "$2" && xdotool mousemove_relative 1 1 && mv "$2" "$1"; }
# What came while someone was at the screen ($1) is not taken while they
# keep touching it for longer than the limit.
touched_while() {
  local before
  before="$(shop_pid)"
  for _ in 1 2 3 4 5; do sleep 1; xdotool mousemove_relative 1 1; done
  [ "$(shop_pid)" = "$before" ] && ! session_ended || fail "$1 was taken while someone was using the shop"
}

# A new version of the shop's program: started afresh at the idle moment.
old="$(shop_pid)"
sed 's/^exec /export PLIMBO_TEST_BUILD=2\nexec /' "$bin/plimbo" >"$bin/new"
upgrade "$bin/plimbo" "$bin/new"
touched_while "a new version of the shop"
x_wait_until $((8 * factor)) fresh_menu "$old" && tr '\0' '\n' <"/proc/$(shop_pid)/environ" | grep -qx PLIMBO_TEST_BUILD=2 &&
  grep -q "^plimbo-kiosk: starting the shop afresh: a new version, plimbo [0-9]" "$log" ||
  fail "a new version of the shop was not started, and said, $((8 * factor)) s after the last touch"
echo "[${SECONDS}s] a new version of the shop reached the screen at the idle moment"

# A new version of the session: it starts again as it, in the same process,
# the old window manager gone, one of each running.
# One still half written is not run, and said once.
cp "$program" "$bin/whole"
cat "$bin/whole" - <<<'if' >"$bin/new"
upgrade "$program" "$bin/new"
x_wait_until 10 grep -q "changed but cannot be read whole; the session goes on as it is" "$log" &&
  wait_for_window "The Plimbo Shop" 10 || fail "a half-written session was not passed over"
wm="$(pgrep -P "$session" -x openbox)"
old="$(shop_pid)"
sed 's/^# plimbo-kiosk: /# plimbo-kiosk, the next version: /' "$bin/whole" >"$bin/new"
upgrade "$program" "$bin/new"
touched_while "a new version of the session"
x_wait_until $((10 * factor)) fresh_menu "$old" && grep -q "the session's program changed; the session starts again" "$log" &&
  [ "$(grep -c "^plimbo-kiosk: Plimbo Shop " "$log")" -eq 2 ] || fail "the session did not start again as the new version"
sleep 1
! kill -0 "$wm" 2>/dev/null && [ "$(pgrep -P "$session" -x openbox | wc -l)" -eq 1 ] &&
  [ "$(pgrep -P "$session" -x plimbo-kiosk | wc -l)" -eq 1 ] || fail "the new session does not run one window manager and one watcher"
echo "[${SECONDS}s] a new version of the session started in its place at the idle moment"

# New settings: the session ends at the idle moment.
wm="$(pgrep -P "$session" -x openbox)"
xdotool mousemove_relative 1 1 && touch "$drive/restart"
touched_while "new settings"
ends_for_settings "at the idle moment" "$wm"
echo "[${SECONDS}s] new settings ended the session at the idle moment"

# A shop that turns stricter and refuses the kept list: its message stays
# however long nobody answers; once answered, no start until the file on
# the disk changes, but new settings are still taken.
cp "$sample/PlimboPrice.txt" "$drive/PlimboPrice.txt"
start_session
wait_for_window "The Plimbo Shop" 20 || fail "the main menu did not appear"
touch "$drive/stricter"
kill -KILL "$(shop_pid)"
wait_for_window "Plimbo" 20 || fail "the stricter shop's message did not appear"
box="$(window_of "Plimbo")"
sleep 7
[ "$(starts)" -eq 2 ] && [ "$(window_of "Plimbo")" = "$box" ] ||
  fail "the shop was started $(starts) times, not 2, while its message about the kept list was up"
wm="$(pgrep -P "$session" -x openbox)"
xdotool windowactivate --sync "$box" key Return
wait_for_log "the shop refused .*; it starts again when .* changes" 10 "the session did not take the refusal"
sleep 3
[ "$(starts)" -eq 2 ] || fail "the shop was started again on the kept list it refused"
touch "$drive/restart"
ends_for_settings "while waiting for a refused list to change" "$wm"
rm "$drive/stricter"
echo "[${SECONDS}s] a kept list the shop refused: the message stayed, no restart loop, new settings taken while waiting"
unset idle_reset
program=""

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
