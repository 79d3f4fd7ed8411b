#!/usr/bin/env bash
# Installs the built shop into a scratch prefix and checks that the programs,
# the menu entry and the icon land where a desktop looks for them.
set -euo pipefail
build="$1"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/plimbo bin/plimbo-check-prices share/applications/plimbo-shop.desktop \
         share/icons/hicolor/scalable/apps/plimbo-shop.svg; do
  if [ ! -e "$prefix/$f" ]; then
    echo "missing after install: $f" >&2
    exit 1
  fi
done
test -x "$prefix/bin/plimbo"
grep -qx 'Exec=plimbo' "$prefix/share/applications/plimbo-shop.desktop"
echo "installed layout is complete"
