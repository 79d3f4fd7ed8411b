#!/usr/bin/env bash
# The private-display helper stops at once: a TERM while its command runs
# ends the command, Xvfb and itself within a second, and an Xvfb that dies
# at start is said in its own words at once, not after the wait's limit.
#   xserver_helper.sh SCRIPTS
set -uo pipefail
helper="$1/xserver.sh"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }

bash "$helper" --wm none sleep 30 &
helper_pid=$!
for _ in $(seq 200); do
  command_pid="$(pgrep -P "$helper_pid" -fx "sleep 30")" && xvfb_pid="$(pgrep -P "$helper_pid" -x Xvfb)" && break
  sleep 0.05
done
[ -n "${command_pid:-}" ] && [ -n "${xvfb_pid:-}" ] || fail "the helper did not start Xvfb and its command"
t0="$(now_ms)"
kill -TERM "$helper_pid"
wait "$helper_pid"
status=$?
took=$(($(now_ms) - t0))
[ "$status" -eq 143 ] || fail "TERM ended the helper with status $status, not 143"
[ "$took" -lt 1000 ] || fail "TERM took $took ms to end the helper"
for pid in "$command_pid" "$xvfb_pid"; do
  ! kill -0 "$pid" 2>/dev/null || fail "$(ps -o cmd= -p "$pid") (pid $pid) was left running after TERM"
done
echo "TERM while the command runs: the helper, its command and Xvfb ended in $took ms"

mkdir "$work/bin"
printf '#!/bin/sh\necho "Fatal server error: no screens found (as the test asks)" >&2\nexit 1\n' >"$work/bin/Xvfb"
chmod +x "$work/bin/Xvfb"
t0="$(now_ms)"
PATH="$work/bin:$PATH" bash "$helper" --wm none true 2>"$work/said"
status=$?
took=$(($(now_ms) - t0))
[ "$status" -eq 1 ] || fail "an Xvfb that died ended the helper with status $status, not 1"
grep -q "Xvfb did not come up: Fatal server error: no screens found" "$work/said" ||
  fail "an Xvfb that died was not said in its own words: $(cat "$work/said")"
[ "$took" -lt 2000 ] || fail "an Xvfb that died took $took ms to be said"
echo "an Xvfb that dies at start is said at once ($took ms)"
