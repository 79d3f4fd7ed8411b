#!/usr/bin/env bash
# A whole order by keys alone, as a blind customer makes it, with Orca
# reading the real shop on a private display: adult shoes, the invoice, the
# children's shoes, the invoice again, Accept. What Orca spoke (its debug
# record) must hold the bill with its total after each opening of the
# invoice, before the customer's next key, and the thanks.
#   screen_reader_order.sh PLIMBO SAMPLE_FOLDER
set -uo pipefail
shop="$1"
sample="$2"

for tool in orca dbus-run-session dbus-send xdotool Xvfb; do
  command -v "$tool" >/dev/null || { echo "SKIP: no $tool (Debian's orca, dbus-bin, xdotool and xvfb)"; exit 77; }
done
# Orca ends every other Orca of its user as it starts: it runs in a process
# namespace of its own, where it sees no other, so that runs side by side
# (the same user's tests, or the user's own Orca) are left alone.
unshare --pid --fork --mount-proc true 2>/dev/null ||
  { echo "SKIP: no process namespace of its own for Orca here (needs root), and Orca would end this user's own"; exit 77; }
[ -x /usr/libexec/at-spi-bus-launcher ] || { echo "SKIP: no accessibility bus (Debian's at-spi2-core)"; exit 77; }
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "SKIP: no python3-pyatspi"; exit 77; }

# A home and a session bus of its own, gone with everything on them when
# the test ends.
if [ -z "${PLIMBO_TEST_HOME:-}" ]; then
  work="$(mktemp -d)"
  mkdir -m 700 "$work/run"
  export HOME="$work" XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
  PLIMBO_TEST_HOME="$work" exec dbus-run-session -- bash "$0" "$@"
fi
work="$PLIMBO_TEST_HOME"
here="$(cd "$(dirname "$0")" && pwd)"

source "$here/../../scripts/xserver.sh"
source "$here/../support/xdrive.sh"
pids=()
orca=""
# Orca may not end when told: after five seconds it is killed.
stop() {
  kill "$1" 2>/dev/null
  x_wait_until 5 eval "! kill -0 $1 2>/dev/null" || kill -KILL "$1" 2>/dev/null
  wait "$1" 2>/dev/null
}
stop_all() {
  local i
  [ -z "$orca" ] || stop "$orca"
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do stop "${pids[i]}"; done
  pids=()
}
trap 'stop_all; x_stop; rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

x_server_start 1280x1024 || exit 1
x_window_manager_start || exit 1
# The accessibility bus, on this display; asked for before it is there, the
# session bus would start another one that knows no display.
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/bus.log" 2>&1 &
pids+=($!)
a11y_bus_up() {
  dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus | grep -q true
}
x_wait_until 20 a11y_bus_up || fail "no accessibility bus: $(cat "$work/bus.log")"
a11y_bus() { dbus-send --session --print-reply=literal --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress; }
unshare --pid --fork --mount-proc --kill-child orca --replace --debug-file "$work/orca.log" >"$work/orca.out" 2>&1 &
pids+=($!)
orca_started() { orca="$(pgrep -P "${pids[-1]}" -x orca)"; }
x_wait_until 10 orca_started || fail "Orca did not start: $(cat "$work/orca.out")"
# At the invoice the customer listens until Orca has said all it had to,
# that is until, for a second, Orca and the shop have used next to no
# processor time (on a busy machine, or with the shop's arm64 code under
# emulation, either can be seconds behind the screen). An idle shop under
# emulation still spends a few percent on its timers: its share is
# stretched by PLIMBO_TEST_TIME_FACTOR.
shop_idle=$((2 * ${PLIMBO_TEST_TIME_FACTOR:-1}))
shop_pid=""
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null; }
busy=""
orca_quiet() {
  local orca_before orca_after shop_before=0 shop_after=0
  orca_before="$(cpu_ticks "$orca")" || return 0
  [ -z "$shop_pid" ] || shop_before="$(cpu_ticks "$shop_pid")" || return 0
  sleep 1
  orca_after="$(cpu_ticks "$orca")" || return 0
  [ -z "$shop_pid" ] || shop_after="$(cpu_ticks "$shop_pid")" || return 0
  busy="in the last second Orca used $((orca_after - orca_before)) and the shop $((shop_after - shop_before)) of $(getconf CLK_TCK) ticks"
  [ $((orca_after - orca_before)) -le 2 ] && [ $((shop_after - shop_before)) -le "$shop_idle" ]
}
listen() {
  x_wait_until 60 orca_quiet || fail "Orca and the shop never went quiet: $busy"
  kill -0 "$orca" 2>/dev/null || fail "Orca ended by itself; the last it wrote: $(tail -n 3 "$work/orca.log")"
}
# Orca listens to the applications' events (the last it asks for is a
# window's end) before it has finished starting; started is when it has
# gone quiet as well. Orca ends itself when its start takes it more than ten
# seconds (on a very busy machine).
orca_listens() {
  dbus-send --bus="$(a11y_bus | tr -d ' ')" --print-reply --dest=org.a11y.atspi.Registry \
    /org/a11y/atspi/registry org.a11y.atspi.Registry.GetRegisteredEvents 2>/dev/null | grep -q 'Window:Destroy'
}
x_wait_until 60 orca_listens || fail "Orca did not start: $(cat "$work/orca.out")"
listen
QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 PLIMBO_DRIVE_A="$sample" "$shop" >"$work/shop.log" 2>&1 &
pids+=($!)
shop_pid=$!
started=$SECONDS

wait_for_focus() { x_wait_until 20 focus_is "$1" || fail "the focus never came to '$1' (it is on '$(focused_control)')"; }
focus_is() { [ "$(focused_control)" = "$1" ]; }
step() { tab_to "$1" || fail "Tab never brought the focus to '$1' (it is on '$(focused_control)')"; }

wait_for_focus "The Plimbo Shop|Children's Plimbos"
press Up space
step "The Plimbo Shop|Enter"
press Return
wait_for_focus "Adult Plimbo Selection|Brand"
press Down Down                                   # Nike
step "Adult Plimbo Selection|Type"
press Down Down                                   # Trail, $75
step "Adult Plimbo Selection|Size"
press Down
step "Adult Plimbo Selection|Quantity"
press Up                                          # two pairs
step "Adult Plimbo Selection|Find Price"
press Return
step "Adult Plimbo Selection| Add To Shopping Cart"
press space
wait_for_focus "Customer Invoice|See Children's Plimbos"
listen
press Return
wait_for_focus "Children's Plimbo Selection|Quantity"
step "Children's Plimbo Selection|Brand"
press Down Down                                   # Nike
step "Children's Plimbo Selection|Type"
press Down Down Down                              # School, $36
step "Children's Plimbo Selection|Size"
press Down
step "Children's Plimbo Selection|Find Price"
press Return
step "Children's Plimbo Selection| Add To Shopping Cart"
press space
wait_for_focus "Customer Invoice|Clear - Exit"
listen
step "Customer Invoice|Accept "
press space
listen
# Orca writes its record as it ends.
stop "$orca"
echo "[$((SECONDS - started))s] the order is made; what Orca said:"

# What was said, one utterance a line, from the first opening of the invoice.
sed -n "s/.* - SPEECH OUTPUT: '\(.*\)' *{'established.*/\1/p" "$work/orca.log" >"$work/said"
sed -n '/^Customer Invoice frame/,$s/^/  /p' "$work/said"
# What was said from the n-th opening of the invoice until the customer's
# next key, which Orca echoes ("return", "tab"; Orca 43 adds a blank).
after_opening() {
  awk -v n="$1" '/^Customer Invoice frame/ && ++seen == n {on = 1}
                 on && /^(return|tab|space) ?$/ {exit}
                 on' "$work/said"
}
[ "$(grep -c '^Customer Invoice frame' "$work/said")" -eq 2 ] || fail "Orca did not say both openings of the invoice"
wrong=()
after_opening 1 | grep -qF 'Your Total Cost $150.00' || wrong+=("the first bill (\$150.00) was not said as the invoice opened")
after_opening 2 | grep -qF 'Your Total Cost $186.00' || wrong+=("the second bill (\$186.00) was not said as the invoice opened again")
grep -qF 'Thank You!' "$work/said" || wrong+=("the thanks after Accept were not said")
[ "${#wrong[@]}" -eq 0 ] || fail "$(printf '%s; ' "${wrong[@]}")"
echo "[$((SECONDS - started))s] each opening of the invoice was heard with its total, and the thanks"
