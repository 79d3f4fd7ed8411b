#!/usr/bin/env bash
# The programs started where no display can be opened: the shop says in one
# line that there is none and ends with status 2, but only when that is why;
# Qt's other reasons are printed as Qt wrote them, with a status a kiosk
# restarts. --help and --version answer without a display, an unknown
# argument gets one line and status 2, and both programs print one version.
#   without_display.sh PLIMBO PLIMBO_CHECK_PRICES SAMPLE_FOLDER PLIMBO_PRICES
set -uo pipefail
program="$1"
checker="$2"
sample="$3"
editor="$4"
fail=0
out="$(mktemp)"
err="$(mktemp)"
trap 'rm -f "$out" "$err"' EXIT

# check WHAT STATUS STDERR_LINES STDERR_PATTERN STDOUT_PATTERN -- ENV... -- ARGS...
# (an empty pattern is not checked; STDERR_LINES may be 'any')
check() {
  local what="$1" status="$2" lines="$3" errpat="$4" outpat="$5"
  shift 5
  local envs=() args=() got
  [ "$#" -gt 0 ] && [ "$1" = -- ] && shift
  while [ "$#" -gt 0 ] && [ "$1" != -- ]; do envs+=("$1"); shift; done
  [ "$#" -gt 0 ] && shift
  args=("$@")
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM PLIMBO_DRIVE_A="$sample" ${envs[@]+"${envs[@]}"} \
    "$program" ${args[@]+"${args[@]}"} >"$out" 2>"$err"
  got=$?
  if [ "$got" -ne "$status" ]; then
    echo "$what: status $got, not $status" >&2; fail=1
  fi
  if [ "$lines" != any ] && [ "$(grep -c '' "$err")" -ne "$lines" ]; then
    echo "$what: $(grep -c '' "$err") lines on standard error, not $lines" >&2; fail=1
  fi
  if [ -n "$errpat" ] && ! grep -qE -- "$errpat" "$err"; then
    echo "$what: standard error does not match <<$errpat>>: <<$(cat "$err")>>" >&2; fail=1
  fi
  if [ -n "$outpat" ] && ! grep -qE -- "$outpat" "$out"; then
    echo "$what: standard output does not match <<$outpat>>: <<$(cat "$out")>>" >&2; fail=1
  fi
}

nodisplay='^plimbo: there is no display'
check "no DISPLAY" 2 1 "$nodisplay" ''
check "a DISPLAY nobody answers" 2 1 "$nodisplay" '' -- DISPLAY=:4242 --
check "--help" 0 0 '' '^Usage: plimbo ' -- -- --help
check "--version" 0 0 '' '^plimbo [0-9]+\.[0-9]+\.[0-9]+$' -- -- --version
check "an unknown option" 2 1 '^plimbo: .*"--kiosk".*plimbo --help' '' -- -- --kiosk
check "a Qt option without its value" 2 1 '^plimbo: .*"-platform"' '' -- -- -platform
# A platform Qt cannot load is not the lack of a display: Qt's own words,
# and status 1, which the kiosk starts again.
check "a platform Qt does not have" 1 any 'Could not find the Qt platform plugin "wayland"' '' \
  -- QT_QPA_PLATFORM=wayland --
if grep -q "there is no display" "$err"; then
  echo "a platform Qt does not have: the shop said there is no display" >&2; fail=1
fi

# The price-list editor says the same in its own words; its command line
# needs no display.
shop="$program"
program="$editor"
check "the editor, no DISPLAY" 2 1 '^plimbo-prices: there is no display' ''
sheet="$(mktemp -d)"
check "the editor's --export" 0 0 '' '^Exported 10 records' -- -- --export "$sample/PlimboPrice.txt" -o "$sheet/prices.csv"
rm -rf "$sheet"
program="$shop"

shop_version="$("$program" --version | awk '{print $2}')"
checker_version="$("$checker" --version | awk '{print $2}')"
editor_version="$("$editor" --version | awk '{print $2}')"
if [ -z "$shop_version" ] || [ "$shop_version" != "$checker_version" ] || [ "$shop_version" != "$editor_version" ]; then
  echo "versions differ: plimbo '$shop_version', plimbo-check-prices '$checker_version', plimbo-prices '$editor_version'" >&2
  fail=1
fi
grep -q '^Usage: plimbo-check-prices FILE' <<<"$("$checker" --help)" || { echo "plimbo-check-prices --help" >&2; fail=1; }

[ "$fail" -eq 0 ] && echo "without a display: every case as expected"
exit "$fail"
