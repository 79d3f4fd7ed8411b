#!/usr/bin/env bash
# Puts the built packages into the chain's own signed apt repository in DIR,
# with reprepro: one distribution for each Debian release a package was built
# for (build/package/*.deb for this machine's, build/package/RELEASE/*.deb
# for the others, or the packages named), listing the architectures of every
# package it was ever given. The kiosks use it, so a new version arrives
# with apt upgrade (or unattended-upgrades).
#
#   bash scripts/publish.sh DIR [PACKAGE.deb...]
#
# Serve DIR/public, and only that folder: the repository (dists/, pool/) and
# its public key, DIR/public/plimbo-archive-keyring.gpg, for the kiosks' apt
# (signed-by). reprepro keeps its own state beside it, in DIR/conf and DIR/db.
#
# It signs with the chain's own key: PLIMBO_SIGNING_KEY names it in the gpg
# keyring (GNUPGHOME). Without one, a key is made on first use (no
# passphrase; keep that keyring safe) and used from then on. A key that is
# not in the keyring, or another than the one the repository was published
# with, is refused before anything changes: the kiosks trust that one only.
set -euo pipefail
[ "$#" -ge 1 ] || { echo "usage: publish.sh DIR [PACKAGE.deb...]   (then serve DIR/public)" >&2; exit 2; }
repo="$(realpath -m -- "$1")"
shift
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh" reprepro gnupg dpkg-dev >/dev/null
public="$repo/public"
published_key="$public/plimbo-archive-keyring.gpg"
fail() { echo "publish: $*" >&2; exit 1; }

debs=("$@")
if [ "${#debs[@]}" -eq 0 ]; then
  shopt -s nullglob
  debs=("$root"/build/package/*.deb "$root"/build/package/*/*.deb)
fi
[ "${#debs[@]}" -gt 0 ] || fail "no package to publish; build one with scripts/package.sh"
[ ! -d "$repo/dists" ] && [ ! -d "$repo/pool" ] ||
  fail "$repo holds a repository laid out as before, served with reprepro's state; move its dists/, pool/ and plimbo-archive-keyring.gpg into $public/, serve that folder instead, and publish again"

# The primary keys' fingerprints that gpg's answer lists.
fingerprints() { awk -F: '$1 == "pub" || $1 == "sec" {primary = 1; next} $1 == "fpr" && primary {print $10; primary = 0}'; }

# The keys the kiosks trust: those published beside the repository. A file
# there that holds none is no first publish: it is left for the owner.
was=""
if [ -e "$published_key" ]; then
  was="$(gpg --batch --with-colons --show-keys -- "$published_key" 2>/dev/null | fingerprints)" || true
  [ -n "$was" ] ||
    fail "$published_key holds no key gpg can read, and the kiosks given it trust none; put back the key they were given (gpg --export KEY >$published_key) and publish again; nothing was published"
elif [ -d "$public/dists" ]; then
  fail "$public holds a repository but not its key, $published_key; put back the key the kiosks were given (gpg --export KEY >$published_key) and publish again; nothing was published"
fi
mapfile -t trusted < <(sed '/^$/d' <<<"$was")

# The chain's key: the one named, else the published one, else one made on
# a first publish. Always one key, named by its fingerprint.
uid="Plimbo Shop apt repository <repository@plimbo.invalid>"
if [ -n "${PLIMBO_SIGNING_KEY:-}" ]; then
  found="$(gpg --batch --with-colons --list-secret-keys -- "$PLIMBO_SIGNING_KEY" 2>/dev/null | fingerprints)" || true
  [ -n "$found" ] ||
    fail "the signing key \"$PLIMBO_SIGNING_KEY\" (PLIMBO_SIGNING_KEY) is not among the secret keys in ${GNUPGHOME:-~/.gnupg} (gpg --list-secret-keys lists them); nothing was published"
  [ "$(wc -l <<<"$found")" -eq 1 ] ||
    fail "PLIMBO_SIGNING_KEY=\"$PLIMBO_SIGNING_KEY\" names $(wc -l <<<"$found") keys ($(paste -sd ' ' <<<"$found")); name one by its fingerprint; nothing was published"
  key="$found"
elif [ "${#trusted[@]}" -gt 0 ]; then
  key="$(gpg --batch --with-colons --list-secret-keys -- "${trusted[@]}" 2>/dev/null | fingerprints | head -n 1)" || true
  [ -n "$key" ] ||
    fail "${GNUPGHOME:-~/.gnupg} holds no secret key for the published key $(paste -sd ' ' <<<"$was") ($published_key), and no other is made: the kiosks trust that one only. Publish with GNUPGHOME set to the keyring that holds it; nothing was published"
else
  key="$(gpg --batch --with-colons --list-secret-keys -- "$uid" 2>/dev/null | fingerprints | head -n 1)" || true
  if [ -z "$key" ]; then
    echo "publish: making a signing key for the repository ($uid)"
    gpg --batch --quiet --passphrase '' --quick-gen-key "$uid" ed25519 sign never
    key="$(gpg --batch --with-colons --list-secret-keys -- "$uid" 2>/dev/null | fingerprints | head -n 1)"
  fi
fi

# The key can sign now: not expired, not revoked, signing among what it is
# for (gpg's capital letters: what the key and its subkeys can still do).
IFS=: read -r validity expires usage name < <(gpg --batch --with-colons --list-secret-keys -- "$key" 2>/dev/null |
  awk -F: '$1 == "sec" {v = $2; e = $7; c = $12} $1 == "uid" && u == "" {u = $10} END {print v ":" e ":" c ":" u}')
case "$validity" in
  e) fail "the signing key $key ($name) expired on $(date -u -d "@$expires" +%F); extend it (gpg --quick-set-expire $key 2y) and publish again, then run the playbook so the kiosks have its new date; nothing was published" ;;
  r) fail "the signing key $key ($name) is revoked, and the kiosks refuse what it signs; nothing was published" ;;
esac
[[ "$usage" == *S* ]] ||
  fail "the signing key $key ($name) cannot sign (it is for \"$usage\" only); nothing was published"
echo "publish: the signing key is $key ($name)"

# The kiosks trust the keys published beside the repository, and only
# those: the file never loses the signing key, never gets another, and is
# never emptied. Where it holds the signing key alone it is brought up to
# date (a new expiry date); where it holds others too, it is left as it is.
# It is in place before the repository is signed, on a first publish too.
if [ "${#trusted[@]}" -gt 0 ] && [ "$was" != "$key" ]; then
  grep -qx "$key" <<<"$was" ||
    fail "$published_key holds the key $(paste -sd ' ' <<<"$was"), not the signing key $key: the kiosks trust that one only and would refuse every update signed with another; nothing was published. To change keys deliberately, publish both (gpg --export OLD NEW >$published_key), run the playbook so that every kiosk has both, then publish with PLIMBO_SIGNING_KEY=NEW"
else
  mkdir -p "$public"
  exported="$(mktemp "$public/.keyring.XXXXXX")"
  trap 'rm -f "$exported"' EXIT
  gpg --batch --export -- "$key" >"$exported" 2>/dev/null &&
    [ "$(gpg --batch --with-colons --show-keys -- "$exported" 2>/dev/null | fingerprints)" = "$key" ] ||
    fail "gpg exported no key $key alone; nothing was published"
  chmod 644 "$exported"
  cmp -s "$exported" "$published_key" || mv "$exported" "$published_key"
fi

# The release a package was built for: after the "+" in its version, else this machine's.
here="$(. /etc/os-release && echo "$VERSION_CODENAME")"
release_of() {
  local version
  version="$(dpkg-deb -f "$1" Version)"
  case "$version" in *+*) echo "${version##*+}" ;; *) echo "$here" ;; esac
}
# A distribution's architectures: those it already lists, and those of the packages now published in it.
architectures() {
  { sed -n "/^Codename: $1\$/,/^\$/s/^Architectures: //p" "$repo/conf/distributions" 2>/dev/null | tr ' ' '\n'
    for deb in "${debs[@]}"; do
      [ "$(release_of "$deb")" != "$1" ] || dpkg-deb -f "$deb" Architecture
    done
  } | sed '/^$/d' | sort -u | paste -sd ' '
}

mkdir -p "$repo/conf"
# reprepro keeps conf/ and db/ in DIR, and writes what is served in DIR/public.
echo "outdir +b/public" >"$repo/conf/options"
: >"$repo/conf/distributions.new"
for release in $(for deb in "${debs[@]}"; do release_of "$deb"; done | sort -u) \
               $(sed -n 's/^Codename: //p' "$repo/conf/distributions" 2>/dev/null); do
  grep -qx "Codename: $release" "$repo/conf/distributions.new" && continue
  cat >>"$repo/conf/distributions.new" <<STANZA
Origin: Plimbo Shop
Label: Plimbo Shop
Codename: $release
Architectures: $(architectures "$release")
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
echo "Published in $public (serve this folder):"
reprepro --basedir "$repo" list "$here" 2>/dev/null || true
for release in $(sed -n 's/^Codename: //p' "$repo/conf/distributions"); do
  [ "$release" = "$here" ] || reprepro --basedir "$repo" list "$release"
done
echo "A kiosk's apt source: deb [signed-by=/etc/apt/keyrings/plimbo-archive-keyring.gpg] URL-OF-$public RELEASE main"
