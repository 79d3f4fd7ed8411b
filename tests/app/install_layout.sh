#!/usr/bin/env bash
# Installs the built shop into a scratch prefix and checks that the programs,
# the menu entry, the icon, the kiosk's systemd user unit and its X session
# land where a desktop, systemd and a display manager look for them, name
# the programs installed beside them, are all in install_manifest.txt, that
# the manual pages render without a warning, and that systemd accepts the unit.
set -euo pipefail
build="$1"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
files=(bin/plimbo bin/plimbo-check-prices bin/plimbo-prices bin/plimbo-kiosk libexec/plimbo-shop/plimbo-idle
       share/applications/plimbo-shop.desktop
       share/icons/hicolor/scalable/apps/plimbo-shop.svg lib/systemd/user/plimbo-shop.service
       share/xsessions/plimbo-kiosk.desktop share/plimbo-shop/kiosk/rc.xml
       share/metainfo/invalid.plimbo.PlimboShop.metainfo.xml
       share/man/man1/plimbo.1 share/man/man1/plimbo-check-prices.1 share/man/man1/plimbo-kiosk.1 share/man/man1/plimbo-prices.1)
for f in "${files[@]}"; do
  if [ ! -e "$prefix/$f" ]; then
    echo "missing after install: $f" >&2
    exit 1
  fi
  if ! grep -qx "$prefix/$f" "$build/install_manifest.txt"; then
    echo "installed but not in install_manifest.txt: $f" >&2
    exit 1
  fi
done
test -x "$prefix/bin/plimbo" && test -x "$prefix/bin/plimbo-kiosk"
grep -qx 'Exec=plimbo' "$prefix/share/applications/plimbo-shop.desktop"
grep -qx "ExecStart=$prefix/bin/plimbo" "$prefix/lib/systemd/user/plimbo-shop.service"
grep -qx "Exec=$prefix/bin/plimbo-kiosk" "$prefix/share/xsessions/plimbo-kiosk.desktop"
grep -qx "checker=\"$prefix/bin/plimbo-check-prices\"" "$prefix/bin/plimbo-kiosk"
grep -qx "idle_time=\"$prefix/libexec/plimbo-shop/plimbo-idle\"" "$prefix/bin/plimbo-kiosk"
grep -qx "shop=\"$prefix/bin/plimbo\"" "$prefix/bin/plimbo-kiosk"
grep -qx "settings=\"$prefix/share/plimbo-shop/kiosk\"" "$prefix/bin/plimbo-kiosk"
desktop-file-validate "$prefix/share/xsessions/plimbo-kiosk.desktop"
sh -n "$prefix/bin/plimbo-kiosk"
for page in "$prefix"/share/man/man1/*.1; do
  said="$(groff -ww -z -man "$page" 2>&1; LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)"
  if [ -n "$said" ] || grep -q '@[A-Z_]*@' "$page"; then
    echo "$page: $said" >&2
    exit 1
  fi
done
if command -v systemd-analyze >/dev/null; then
  # Offline, as a user manager would read it; anything it says is a fault.
  runtime="$(mktemp -d)"
  said="$(XDG_RUNTIME_DIR="$runtime" MANPATH="$prefix/share/man" \
          systemd-analyze --user verify "$prefix/lib/systemd/user/plimbo-shop.service" 2>&1)" ||
    { echo "$said" >&2; exit 1; }
  rm -rf "$runtime"
  if [ -n "$said" ]; then echo "$said" >&2; exit 1; fi
  echo "systemd accepts the unit"
fi
echo "installed layout is complete"
