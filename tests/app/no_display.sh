#!/usr/bin/env bash
# Started where no display can be opened (none named, or one that does not
# answer), the shop ends with status 2 and one line that says why, instead
# of Qt's abort.
set -uo pipefail
program="$1"
sample="$2"
fail=0
check() {
  local what="$1"; shift
  local err status
  err="$(env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM PLIMBO_DRIVE_A="$sample" "$@" "$program" 2>&1 >/dev/null)"
  status=$?
  if [ "$status" -ne 2 ]; then
    echo "$what: status $status, not 2" >&2; fail=1
  fi
  if [ "$(printf '%s\n' "$err" | wc -l)" -ne 1 ] || ! grep -q "^plimbo: there is no display" <<<"$err"; then
    echo "$what: said <<$err>>" >&2; fail=1
  fi
}
check "no DISPLAY" env -u DISPLAY
check "a DISPLAY nobody answers" env DISPLAY=:4242
[ "$fail" -eq 0 ] && echo "no display: one line and status 2"
exit "$fail"
