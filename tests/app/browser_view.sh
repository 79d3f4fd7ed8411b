#!/usr/bin/env bash
# Where there is no display, the shop shows in a web browser: the address it
# prints answers HTTP 200, everything the run starts listens on 127.0.0.1
# only, and everything stops when the shop ends or on Ctrl+C.
#   browser_view.sh PROGRAM SHOW_IN_BROWSER_SCRIPT SAMPLE_FOLDER
set -uo pipefail
program="$1"
script="$2"
sample="$3"
out="$(mktemp)"
trap 'rm -f "$out"' EXIT
fail() { echo "$*" >&2; cat "$out" >&2; exit 1; }

# Starts the view in a session of its own; prints the session's id.
start() {
  : >"$out"
  setsid env -u DISPLAY -u WAYLAND_DISPLAY PLIMBO_DRIVE_A="$sample" PLIMBO_WEB_PORT=16080 \
    bash "$script" "$program" >"$out" 2>&1 &
  echo $!
}
in_session() { ps -s "$1" -o pid= 2>/dev/null | tr -d ' '; }
wait_gone() {
  for _ in $(seq 100); do
    [ -z "$(in_session "$1")" ] && return 0
    sleep 0.1
  done
  fail "still running after the $2: $(ps -s "$1" -o comm= | tr '\n' ' ')"
}

for ending in "shop ends" "Ctrl+C"; do
  sid="$(start)"
  url=""
  for _ in $(seq 300); do
    url="$(grep -o 'http://localhost:[0-9]*/vnc.html[^ ]*' "$out" || true)"
    [ -n "$url" ] && break
    sleep 0.1
  done
  [ -n "$url" ] || fail "no address printed"

  code="$(curl -s -o /dev/null -w '%{http_code}' "$url")"
  [ "$code" = 200 ] || fail "$url answered $code"

  listeners=0
  for pid in $(in_session "$sid"); do
    while read -r local; do
      listeners=$((listeners + 1))
      case "$local" in
        127.0.0.1:*) ;;
        *) fail "pid $pid ($(ps -o comm= -p "$pid")) listens on $local" ;;
      esac
    done < <(ss -Hltunp | grep "pid=$pid," | awk '{print $5}')
  done
  [ "$listeners" -ge 2 ] || fail "expected the viewer and the VNC server to listen, found $listeners"

  if [ "$ending" = "shop ends" ]; then
    kill -TERM "$(ps -s "$sid" -o pid=,comm= | awk '$2 == "plimbo" {print $1}')"
  else
    kill -INT -- "-$sid"
  fi
  wait_gone "$sid" "$ending"
  echo "$ending: $url answered 200; $listeners listeners, all on 127.0.0.1; everything stopped"
done
