#!/usr/bin/env bash
# The built package's contents, unpacked into a scratch root (dpkg-deb -x):
# every part a shop needs is there, the checker from the package reads the
# sample price list cleanly, its menu and software-centre entries are valid,
# and every program prints the package's version.
#   contents.sh PACKAGE.deb SAMPLE_FOLDER
set -euo pipefail
deb="$1"
sample="$2"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
dpkg-deb -x "$deb" "$scratch"
version="$(dpkg-deb -f "$deb" Version)"

for f in usr/bin/plimbo usr/bin/plimbo-check-prices usr/bin/plimbo-prices usr/bin/plimbo-kiosk usr/libexec/plimbo-shop/plimbo-idle \
         usr/share/applications/plimbo-shop.desktop usr/share/icons/hicolor/scalable/apps/plimbo-shop.svg \
         usr/lib/systemd/user/plimbo-shop.service usr/share/xsessions/plimbo-kiosk.desktop \
         usr/share/plimbo-shop/kiosk/rc.xml usr/share/metainfo/invalid.plimbo.PlimboShop.metainfo.xml \
         usr/share/man/man1/plimbo.1.gz usr/share/man/man1/plimbo-check-prices.1.gz \
         usr/share/man/man1/plimbo-kiosk.1.gz usr/share/man/man1/plimbo-prices.1.gz \
         usr/share/applications/plimbo-prices.desktop usr/share/doc/plimbo-shop/copyright \
         usr/share/doc/plimbo-shop/changelog.gz; do
  [ -e "$scratch/$f" ] || { echo "not in the package: $f" >&2; exit 1; }
done
# Everything names the installed programs, not the build's.
grep -qx 'ExecStart=/usr/bin/plimbo' "$scratch/usr/lib/systemd/user/plimbo-shop.service"
grep -qx 'Exec=/usr/bin/plimbo-kiosk' "$scratch/usr/share/xsessions/plimbo-kiosk.desktop"
grep -qx 'shop="/usr/bin/plimbo"' "$scratch/usr/bin/plimbo-kiosk"
grep -qx 'idle_time="/usr/libexec/plimbo-shop/plimbo-idle"' "$scratch/usr/bin/plimbo-kiosk"
# The menu entries and the software-centre entry, as this release's own
# checkers read them.
desktop-file-validate "$scratch"/usr/share/applications/*.desktop
appstreamcli validate --no-net "$scratch/usr/share/metainfo/invalid.plimbo.PlimboShop.metainfo.xml" >/dev/null
# No package script enables the kiosk unit for every user's desktop.
scripts="$(dpkg-deb --ctrl-tarfile "$deb" | tar -xO --wildcards './*inst' './*rm' 2>/dev/null || true)"
if grep -q 'enable' <<<"$scripts"; then
  echo "the package's scripts enable the kiosk unit: $scripts" >&2
  exit 1
fi

said="$("$scratch/usr/bin/plimbo-check-prices" "$sample/PlimboPrice.txt")"
tail -n 1 <<<"$said" | grep -q '^10 records: 10 accepted (5 adult, 5 children.s), 0 skipped; 0 warnings\.$' ||
  { echo "the packaged checker said: $said" >&2; exit 1; }
for program in plimbo plimbo-check-prices plimbo-prices; do
  # A build for another release carries its name after a "+"; the programs say the shop's version.
  [ "$("$scratch/usr/bin/$program" --version)" = "$program ${version%%+*}" ] ||
    { echo "$program --version is not $version: $("$scratch/usr/bin/$program" --version)" >&2; exit 1; }
done
echo "the package holds every part; its checker reads the sample; every program is version $version"
dpkg-deb -c "$deb" | awk '{print $6}' | grep -v '/$'
