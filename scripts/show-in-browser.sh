#!/usr/bin/env bash
# Shows the shop in a web browser, for a machine with no usable display of
# its own (a server, a container, a remote shell): the shop's kiosk session
# (window frames and titles, nothing else to reach) runs on a private X
# display just large enough for the shop's windows; x11vnc serves that
# display on a Unix socket in a private folder, and websockify serves the
# noVNC viewer, and the connection to the display, on 127.0.0.1.
#
# Every run has its own display (Xvfb picks a free one), its own socket, and
# its own web port, bound here before websockify starts and handed to it,
# so runs side by side never take each other's. The viewer asks for no
# password, so it must never be reachable from the network: from another
# machine, reach it through ssh.
#
#   show-in-browser.sh KIOSK_SESSION      (scripts/run.sh calls it when no display answers)
#
# PLIMBO_WEB_PORT chooses the viewer's port (default 6080, or the next free
# one). It runs until Ctrl+C, then stops everything it started. A part that
# does not come up is reported in its own words and the script ends with
# status 1, leaving nothing behind.
set -uo pipefail
kiosk="$1"
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/xserver.sh"

# The shop's largest windows with their frames, the main menu (786 x 534
# below its title bar) and the invoice (652 x 573), fit in 800 x 600.
size=800x600

run_dir="$(mktemp -d "${TMPDIR:-/tmp}/plimbo-web.XXXXXX")"
chmod 700 "$run_dir"
# A login gives each user a runtime folder; a root shell or a container
# often has none, so the private session gets one of its own.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  export XDG_RUNTIME_DIR="$run_dir/runtime"
  mkdir -m 700 "$XDG_RUNTIME_DIR"
fi
# Each run is a new kiosk: the price list the session keeps is this run's own.
export XDG_STATE_HOME="$run_dir/state"
# Each part runs in a process group of its own (setsid), so that stopping
# it stops whatever it started too, such as websockify's worker for each
# browser that connects.
pids=()
# Stops one part: politely, then for good after five seconds.
stop_process() {
  local pid="$1"
  kill -- "-$pid" 2>/dev/null || return 0
  for _ in $(seq 100); do
    kill -0 -- "-$pid" 2>/dev/null || break
    sleep 0.05
  done
  kill -KILL -- "-$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
}
stop_all() {
  trap - EXIT INT TERM HUP
  local i
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    stop_process "${pids[i]}"
  done
  x_stop
  rm -rf "$run_dir"
}
trap stop_all EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP
did_not_start() {
  echo "show-in-browser: $1 did not start:" >&2
  cat "$2" >&2
  exit 1
}

x_server_start "$size" || exit 1

# The display, on a socket only this run's folder holds; no TCP port at all.
setsid x11vnc -display "$DISPLAY" -unixsock "$run_dir/vnc" -rfbport 0 -rfbportv6 -1 -nopw -forever -shared -quiet \
  </dev/null >"$run_dir/x11vnc.log" 2>&1 &
vnc=$!
pids+=("$vnc")
vnc_serves() { test -S "$run_dir/vnc" || ! kill -0 "$vnc" 2>/dev/null; }
x_wait_until 20 vnc_serves && test -S "$run_dir/vnc" || did_not_start x11vnc "$run_dir/x11vnc.log"

# The viewer: the port is bound here, from PLIMBO_WEB_PORT upwards, and the
# bound socket handed to websockify, which serves on it (--inetd).
setsid python3 -c '
import os, socket, sys
port = int(sys.argv[1])
listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
# A port some closed connection still lingers on is free to listen on again;
# one that something listens on is not.
listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
for port in range(port, port + 100):
    try:
        listener.bind(("127.0.0.1", port))
        break
    except OSError:
        continue
else:
    sys.exit("no free port from %s on 127.0.0.1" % sys.argv[1])
listener.listen(16)
print(port, flush=True)
os.dup2(listener.fileno(), 0)
os.execvp("websockify", ["websockify", "--inetd", "--web", "/usr/share/novnc", "--unix-target", sys.argv[2]])
' "${PLIMBO_WEB_PORT:-6080}" "$run_dir/vnc" >"$run_dir/port" 2>"$run_dir/websockify.log" </dev/null &
websockify=$!
pids+=("$websockify")
x_wait_until 20 test -s "$run_dir/port" || did_not_start websockify "$run_dir/websockify.log"
port="$(head -n 1 "$run_dir/port")"
# What answers on the port must be the websockify started here.
serving() {
  kill -0 "$websockify" 2>/dev/null && [[ "$(ss -Hltnp "sport = :$port")" == *"pid=$websockify,"* ]] &&
    [ "$(curl -s -o /dev/null -w '%{http_code}' "http://127.0.0.1:$port/vnc.html")" = 200 ]
}
x_wait_until 20 serving || did_not_start "websockify on port $port" "$run_dir/websockify.log"

# The kiosk session on that display; what it says goes to this terminal.
# The address is given as soon as the viewer answers: whatever the session
# shows first, the menu or the shop's message about a price list it
# refuses, is there to see and answer in the browser.
setsid "$kiosk" &
session=$!
pids+=("$session")

echo "Plimbo Shop is showing at http://localhost:$port/vnc.html?autoconnect=1&resize=scale" \
     "(from another machine: ssh -L $port:localhost:$port this-machine, then open that address; Ctrl+C stops it)"
status=0
wait "$session" || status=$?
echo "show-in-browser: the kiosk session ended (status $status)" >&2
exit 1
