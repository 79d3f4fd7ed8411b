#!/usr/bin/env bash
# Puts the built packages into the chain's own signed apt repository in DIR,
# with reprepro: one distribution for each Debian release a package was built
# for (build/package/*.deb for this machine's, build/package/RELEASE/*.deb
# for the others, or the packages named). The kiosks use it, so a new
# version arrives with apt upgrade (or unattended-upgrades).
#
#   bash scripts/publish.sh DIR [PACKAGE.deb...]
#
# It signs with the chain's own key: PLIMBO_SIGNING_KEY names it in the gpg
# keyring (GNUPGHOME). Without one, a key is made on first use (no
# passphrase; keep that keyring safe) and used from then on. Its public half
# is exported beside the repository, as DIR/plimbo-archive-keyring.gpg, for
# the kiosks' apt (signed-by).
set -euo pipefail
[ "$#" -ge 1 ] || { echo "usage: publish.sh DIR [PACKAGE.deb...]" >&2; exit 2; }
repo="$(mkdir -p "$1" && cd "$1" && pwd)"
shift
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh" reprepro gnupg dpkg-dev >/dev/null

debs=("$@")
if [ "${#debs[@]}" -eq 0 ]; then
  shopt -s nullglob
  debs=("$root"/build/package/*.deb "$root"/build/package/*/*.deb)
fi
[ "${#debs[@]}" -gt 0 ] || { echo "publish: no package to publish; build one with scripts/package.sh" >&2; exit 1; }

# The chain's key, or one made for it.
uid="Plimbo Shop apt repository <repository@plimbo.invalid>"
key="${PLIMBO_SIGNING_KEY:-}"
if [ -z "$key" ]; then
  key="$(gpg --batch --with-colons --list-secret-keys "$uid" 2>/dev/null | awk -F: '/^fpr:/ {print $10; exit}' || true)"
fi
if [ -z "$key" ]; then
  echo "publish: making a signing key for the repository ($uid)"
  gpg --batch --quiet --passphrase '' --quick-gen-key "$uid" ed25519 sign never
  key="$(gpg --batch --with-colons --list-secret-keys "$uid" 2>/dev/null | awk -F: '/^fpr:/ {print $10; exit}')"
fi
gpg --batch --quiet --yes --export "$key" 2>/dev/null >"$repo/plimbo-archive-keyring.gpg"

# The release a package was built for: after the "+" in its version, else this machine's.
here="$(. /etc/os-release && echo "$VERSION_CODENAME")"
release_of() {
  local version
  version="$(dpkg-deb -f "$1" Version)"
  case "$version" in *+*) echo "${version##*+}" ;; *) echo "$here" ;; esac
}

mkdir -p "$repo/conf"
: >"$repo/conf/distributions.new"
for release in $(for deb in "${debs[@]}"; do release_of "$deb"; done | sort -u) \
               $(sed -n 's/^Codename: //p' "$repo/conf/distributions" 2>/dev/null); do
  grep -qx "Codename: $release" "$repo/conf/distributions.new" && continue
  cat >>"$repo/conf/distributions.new" <<STANZA
Origin: Plimbo Shop
Label: Plimbo Shop
Codename: $release
Architectures: amd64
Components: main
Description: The Plimbo Shop for the chain's kiosks
SignWith: $key

STANZA
done
mv "$repo/conf/distributions.new" "$repo/conf/distributions"

for deb in "${debs[@]}"; do
  reprepro --basedir "$repo" --silent includedeb "$(release_of "$deb")" "$deb"
done
reprepro --basedir "$repo" --silent export
echo "Published in $repo:"
reprepro --basedir "$repo" list "$here" 2>/dev/null || true
for release in $(sed -n 's/^Codename: //p' "$repo/conf/distributions"); do
  [ "$release" = "$here" ] || reprepro --basedir "$repo" list "$release"
done
echo "A kiosk's apt source: deb [signed-by=/usr/share/keyrings/plimbo-archive-keyring.gpg] URL-OF-$repo RELEASE main"
