#!/usr/bin/env bash
# Shows the shop in a web browser, for a machine with no display of its own
# (a server, a container, a remote shell): the shop runs on a private Xvfb
# display, x11vnc serves that display and noVNC (websockify) serves the
# viewer page. Everything listens on 127.0.0.1 only: the viewer asks for no
# password, so it must never be reachable from the network; from another
# machine, reach it through ssh.
#
#   show-in-browser.sh PROGRAM      (scripts/run.sh calls it when there is no display)
#
# PLIMBO_WEB_PORT chooses the viewer's port (default 6080, or the next free
# one). It keeps running until the shop ends or Ctrl+C, then stops everything
# it started.
set -euo pipefail
program="$1"

if [ -z "${PLIMBO_IN_XVFB:-}" ]; then
  # xvfb-run finds a free display, keeps its key private and stops the X
  # server when the command inside ends.
  exec env PLIMBO_IN_XVFB=1 xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" bash "$0" "$@"
fi

# A free TCP port on 127.0.0.1, from $1 upwards.
free_port() {
  local port="$1"
  while ss -Hltn "sport = :$port" | grep -q .; do port=$((port + 1)); done
  echo "$port"
}
# Waits until something listens on 127.0.0.1:$1.
wait_for_port() {
  for _ in $(seq 100); do
    ss -Hltn "src 127.0.0.1 and sport = :$1" | grep -q . && return 0
    sleep 0.1
  done
  echo "nothing came to listen on port $1" >&2
  return 1
}

pids=()
stop_all() {
  trap - EXIT INT TERM
  [ "${#pids[@]}" -gt 0 ] && kill "${pids[@]}" 2>/dev/null
  wait 2>/dev/null
  return 0
}
trap stop_all EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

vnc_port="$(free_port 5900)"
x11vnc -display "$DISPLAY" -localhost -noipv6 -rfbport "$vnc_port" -nopw -forever -shared -quiet \
  >/dev/null 2>&1 &
pids+=($!)
wait_for_port "$vnc_port"

web_port="$(free_port "${PLIMBO_WEB_PORT:-6080}")"
websockify --web /usr/share/novnc "127.0.0.1:$web_port" "127.0.0.1:$vnc_port" >/dev/null 2>&1 &
pids+=($!)
wait_for_port "$web_port"

export QT_QPA_PLATFORM=xcb
"$program" &
shop=$!
pids+=("$shop")
echo "Plimbo Shop is showing at http://localhost:$web_port/vnc.html?autoconnect=1&resize=remote" \
     "(from another machine: ssh -L $web_port:localhost:$web_port this-machine, then open that address; Ctrl+C stops it)"
status=0
wait "$shop" || status=$?
exit "$status"
