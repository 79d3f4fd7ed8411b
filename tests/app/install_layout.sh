#!/usr/bin/env bash
# Installs the built shop into a scratch prefix and checks that the programs,
# the menu entry, the icon and the kiosk's systemd user unit land where a
# desktop and systemd look for them, and that systemd accepts the unit.
set -euo pipefail
build="$1"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/plimbo bin/plimbo-check-prices share/applications/plimbo-shop.desktop \
         share/icons/hicolor/scalable/apps/plimbo-shop.svg lib/systemd/user/plimbo-shop.service; do
  if [ ! -e "$prefix/$f" ]; then
    echo "missing after install: $f" >&2
    exit 1
  fi
done
test -x "$prefix/bin/plimbo"
grep -qx 'Exec=plimbo' "$prefix/share/applications/plimbo-shop.desktop"
unit="$prefix/lib/systemd/user/plimbo-shop.service"
grep -qx "ExecStart=$prefix/bin/plimbo" "$unit"
if command -v systemd-analyze >/dev/null; then
  # Offline, as a user manager would read it; anything it says is a fault.
  runtime="$(mktemp -d)"
  said="$(XDG_RUNTIME_DIR="$runtime" systemd-analyze --user verify "$unit" 2>&1)" || { echo "$said" >&2; exit 1; }
  rm -rf "$runtime"
  if [ -n "$said" ]; then echo "$said" >&2; exit 1; fi
  echo "systemd accepts the unit"
fi
echo "installed layout is complete"
