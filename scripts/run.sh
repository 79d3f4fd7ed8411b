#!/usr/bin/env bash
# Installs what is missing, builds the shop and opens it on the sample price
# list: on this machine's display, or in a web browser where there is none.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh"
cd "$root"
cmake --preset release >/dev/null
cmake --build --preset release
export PLIMBO_DRIVE_A="${PLIMBO_DRIVE_A:-$root/sample}"
program="$root/build/release/src/app/plimbo"
# With no display (a server, a container, a remote shell) the shop is shown
# in a web browser instead.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  exec bash "$root/scripts/show-in-browser.sh" "$program"
fi
exec "$program"
