#!/usr/bin/env bash
# plimbo-check-prices refuses at once, with status 2 and the shop's message,
# a price list that is a named pipe nobody writes to or a link to /dev/zero,
# instead of waiting for ever.
#   check_prices_not_a_file.sh PLIMBO_CHECK_PRICES
set -uo pipefail
checker="$1"
dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT
fail=0
mkfifo "$dir/fifo"
ln -s /dev/zero "$dir/zero"
for case in "fifo:a named pipe (FIFO)" "zero:a character device"; do
  name="${case%%:*}" kind="${case#*:}"
  said="$(timeout 10 "$checker" "$dir/$name" 2>&1)"
  status=$?
  if [ "$status" -ne 2 ]; then
    echo "$name: status $status, not 2" >&2; fail=1
  fi
  if ! grep -qF "It is $kind, not a file." <<<"$said" || ! grep -qF "$dir/$name" <<<"$said"; then
    echo "$name: said <<$said>>" >&2; fail=1
  fi
done
[ "$fail" -eq 0 ] && echo "a named pipe and /dev/zero are refused at once"
exit "$fail"
