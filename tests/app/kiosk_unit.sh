#!/usr/bin/env bash
# The kiosk's systemd user unit under a real systemd user manager, with the
# installed shop on a private X display: back after a crash; customers
# finishing again and again never trip the start limit, and the time from
# "Clear - Exit" to the menu is printed; a refused price list and no display
# leave it stopped, the refusal said on one line of its standard error; a
# shop that fails again and again at start is left stopped.
#
# The user manager runs in a mount namespace of its own, where /run/systemd
# says systemd is running; nothing outside it sees that. Needs root for the
# namespace; elsewhere the test is skipped (status 77).
#   kiosk_unit.sh BUILD_DIR SAMPLE_FOLDER
set -uo pipefail
build="$1"
sample="$2"
here="$(cd "$(dirname "$0")" && pwd)"

if [ -z "${PLIMBO_IN_NAMESPACE:-}" ]; then
  if [ "$(id -u)" -ne 0 ] || ! unshare --mount true 2>/dev/null; then
    echo "SKIP: a private mount namespace needs root here"
    exit 77
  fi
  [ -d /run/systemd ] || mkdir -p /run/systemd
  exec env PLIMBO_IN_NAMESPACE=1 unshare --mount --propagation private bash "$0" "$@"
fi

mount -t tmpfs plimbo-test /run/systemd && mkdir /run/systemd/system || { echo "cannot mount /run/systemd" >&2; exit 1; }
# A control group of its own in every hierarchy, which the user manager
# takes for its root: two of these tests side by side never share the
# cgroups of their units (and never stop each other's shop).
group="plimbo-kiosk-unit-$$"
hierarchies=()
for hierarchy in /sys/fs/cgroup/*/ /sys/fs/cgroup/; do
  [ -f "$hierarchy/cgroup.procs" ] || continue
  mkdir -p "$hierarchy$group" || continue
  # A hierarchy that takes no process as it is (cpuset) is left as it is.
  if echo $$ 2>/dev/null >"$hierarchy$group/cgroup.procs"; then
    hierarchies+=("$hierarchy")
  else
    rmdir "$hierarchy$group"
  fi
done
leave_group() {
  local hierarchy
  for hierarchy in "${hierarchies[@]}"; do
    echo $$ >"${hierarchy}cgroup.procs" 2>/dev/null
    # Deepest first: only empty groups can go.
    find "$hierarchy$group" -depth -type d -exec rmdir {} + 2>/dev/null
  done
}
source "$here/../../scripts/xserver.sh"
source "$here/../support/xdrive.sh"

work="$(mktemp -d)"
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_CONFIG_HOME/systemd/user/plimbo-shop.service.d" "$XDG_RUNTIME_DIR" "$work/drive"
chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM
manager=""
cleanup() {
  systemctl --user stop plimbo-shop.service >/dev/null 2>&1
  [ -n "$manager" ] && kill "$manager" 2>/dev/null && wait "$manager" 2>/dev/null
  x_stop
  rm -rf "$work"
  leave_group
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  systemctl --user status plimbo-shop.service --no-pager >&2 2>&1
  echo "--- the shop said:" >&2
  cat "$work/shop.log" >&2
  exit 1
}
unit() { systemctl --user "$@" plimbo-shop.service; }
property() { systemctl --user show -p "$1" --value plimbo-shop.service; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }
menu_from_new_shop() {
  local pid
  pid="$(property MainPID)"
  [ "$pid" != 0 ] && [ "$pid" != "$1" ] && [ -n "$(window_of "The Plimbo Shop")" ] &&
    [ "$(xdotool getwindowpid "$(window_of "The Plimbo Shop")" 2>/dev/null)" = "$pid" ]
}
stopped_with() { [ "$(property ActiveState)" = "$1" ] && [ "$(property Result)" = "$2" ]; }

# The installed shop, its unit, a display and a price list.
cmake --install "$build" --prefix "$work/prefix" >/dev/null || fail "cannot install the shop"
/lib/systemd/systemd --user >"$work/manager.log" 2>&1 &
manager=$!
x_wait_until 20 systemctl --user is-system-running >/dev/null 2>&1 ||
  x_wait_until 1 bash -c '[ "$(systemctl --user is-system-running 2>/dev/null)" = degraded ]' ||
  fail "the user manager did not come up: $(cat "$work/manager.log")"
x_server_start 1024x768 || exit 1
x_window_manager_start || exit 1
cp "$sample/PlimboPrice.txt" "$work/drive/PlimboPrice.txt"
# What a desktop session and the shop's staff would set: the display, where
# the disk is; and, with no journal here, a file for what the shop says.
systemctl --user set-environment DISPLAY="$DISPLAY" XAUTHORITY="$XAUTHORITY"
# Under the sanitizers, the shop the unit starts runs with the same options.
for option in ASAN_OPTIONS LSAN_OPTIONS UBSAN_OPTIONS; do
  if [ -n "${!option:-}" ]; then systemctl --user set-environment "$option=${!option}"; fi
done
cat >"$XDG_CONFIG_HOME/systemd/user/plimbo-shop.service.d/test.conf" <<CONF
[Service]
Environment=PLIMBO_DRIVE_A=$work/drive
StandardOutput=append:$work/shop.log
StandardError=append:$work/shop.log
CONF
systemctl --user link "$work/prefix/lib/systemd/user/plimbo-shop.service" >/dev/null || fail "cannot link the unit"
systemctl --user daemon-reload

unit start
x_wait_until 20 menu_from_new_shop 0 || fail "the menu did not appear"
echo "the unit shows the menu"

# A crash: back.
crashed="$(property MainPID)"
kill -SEGV "$crashed"
x_wait_until 10 menu_from_new_shop "$crashed" || fail "the shop was not back after SIGSEGV"
echo "after SIGSEGV the menu is back"

# Customers finishing one after another, more often than the start limit
# allows failures: the unit stays up.
times=()
for customer in $(seq 12); do
  pid="$(property MainPID)"
  order_then_clear_exit || fail "customer $customer could not order and press Clear - Exit"
  t0="$(now_ms)"
  x_wait_until 10 menu_from_new_shop "$pid" || fail "customer $customer: the menu did not come back"
  times+=($(($(now_ms) - t0)))
done
[ "$(property ActiveState)" = active ] || fail "the unit is $(property ActiveState) after 12 customers"
echo "12 customers finished in a row; the unit is still up"
echo "from Clear - Exit to the menu: $(printf '%s\n' "${times[@]}" | sort -n | sed -n '6p') ms median" \
     "($(printf '%s ' "${times[@]}")ms)"

# A refused price list: said on one line, then left stopped.
printf '"Adult","Nike    ","Running",8.5\r\n' >"$work/drive/PlimboPrice.txt"
restarts="$(property NRestarts)"
kill -KILL "$(property MainPID)"
x_wait_until 10 wait_for_window "Plimbo" 1 || fail "the shop's message about the price list did not appear"
xdotool windowactivate --sync "$(window_of "Plimbo")" key Return
x_wait_until 10 stopped_with failed exit-code || fail "the unit did not stop on the refused price list"
[ "$(property ExecMainStatus)" = 3 ] || fail "the shop ended with $(property ExecMainStatus), not 3"
sleep 0.5
[ "$(property ActiveState)" = failed ] || fail "the unit started the shop again on a refused price list"
[ "$(property NRestarts)" = $((restarts + 1)) ] ||
  fail "the unit restarted the shop $(($(property NRestarts) - restarts)) times after the kill, not once"
grep -q "^plimbo: The price list A:PlimboPrice.txt could not be read\. File: .*Record 1, field Price 1" \
  "$work/shop.log" || fail "the refusal is not said on one line of standard error"
echo "a refused price list leaves the unit stopped; its standard error says why"

# No display: left stopped.
cp "$sample/PlimboPrice.txt" "$work/drive/PlimboPrice.txt"
systemctl --user unset-environment DISPLAY
unit reset-failed
unit start
x_wait_until 10 stopped_with failed exit-code || fail "the unit did not stop without a display"
[ "$(property ExecMainStatus)" = 2 ] || fail "the shop ended with $(property ExecMainStatus), not 2"
echo "no display leaves the unit stopped"

# A shop that fails at start, again and again (a stand-in that counts its
# starts): stopped by the start limit, after as many starts as it allows,
# and not started again.
cat >"$XDG_CONFIG_HOME/systemd/user/plimbo-shop.service.d/failing.conf" <<CONF
[Service]
ExecStart=
ExecStart=/bin/sh -c 'echo >>$work/starts; exit 1'
CONF
systemctl --user daemon-reload
unit reset-failed
unit start
failures() { cat "$work/starts" 2>/dev/null | wc -l; }
x_wait_until 30 bash -c '[ "$(systemctl --user show -p ActiveState --value plimbo-shop.service)" = failed ]' ||
  fail "a shop failing at every start was not stopped"
seen="$(failures)"
sleep 1
burst="$(property StartLimitBurst)"
[ "$(failures)" = "$seen" ] && [ "$seen" -eq "$burst" ] ||
  fail "the shop was started $(failures) times, not the start limit's $burst"
echo "a shop that fails at every start is stopped after $seen starts"
