#!/usr/bin/env bash
# Installs the package with apt as a shop owner would (pulling in what it
# needs), checks the sample price list with the installed checker, exports it
# as a spreadsheet with the installed editor, removes the package, and checks
# that none of its files are left. Needs root and apt.
#   install_remove.sh PACKAGE.deb SAMPLE_FOLDER
set -euo pipefail
deb="$(realpath "$1")"
sample="$2"
export DEBIAN_FRONTEND=noninteractive
apt-get install -y -qq "$deb" >/dev/null
files="$(dpkg -L plimbo-shop)"
/usr/bin/plimbo-check-prices "$sample/PlimboPrice.txt" >/dev/null
csv="$(mktemp --suffix=.csv)"
trap 'rm -f "$csv"' EXIT
/usr/bin/plimbo-prices --export "$sample/PlimboPrice.txt" -o "$csv"
# The header and the sample's ten records, the adult Nike running shoes at $80 among them.
[ "$(wc -l <"$csv")" -eq 11 ] && grep -q '^Adult,Nike,Running,80,' "$csv" ||
  { echo "the installed plimbo-prices exported:" >&2; cat "$csv" >&2; exit 1; }
version="$(dpkg-deb -f "$deb" Version)"
[ "$(plimbo --version)" = "plimbo ${version%%+*}" ]
apt-get remove -y -qq plimbo-shop >/dev/null
left=""
while read -r f; do
  [ -n "$f" ] && [ ! -d "$f" ] && [ -e "$f" ] && left="$left $f"
done <<<"$files"
[ -z "$left" ] || { echo "left behind after apt remove:$left" >&2; exit 1; }
status="$(dpkg-query -W -f='${db:Status-Status}' plimbo-shop 2>/dev/null || echo not-installed)"
[ "$status" = not-installed ] || { echo "after apt remove the package is $status" >&2; exit 1; }
echo "installed with apt, the sample list checked and exported, removed with nothing left"
