#!/usr/bin/env bash
# Opens the built shop: on this machine's display when one answers, or in a
# web browser when none does (none named, or a stale one a remote shell
# brought along).
#   open-shop.sh PROGRAM KIOSK_SESSION
set -euo pipefail
program="$1"
kiosk="$2"
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/xserver.sh"

if [ -n "${WAYLAND_DISPLAY:-}" ] && [ -S "${XDG_RUNTIME_DIR:-/nonexistent}/$WAYLAND_DISPLAY" ]; then
  exec "$program"
fi
if x_answers; then
  exec "$program"
fi
if [ -n "${DISPLAY:-}" ]; then
  echo "The display $DISPLAY does not answer; the shop is shown in a web browser instead." >&2
fi
exec bash "$here/show-in-browser.sh" "$kiosk"
