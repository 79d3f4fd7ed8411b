#!/usr/bin/env bash
# The chain's playbook against kiosks that are chroots made with mmdebstrap,
# a Debian 12 and a Debian 13 one (and later a copy of the first, so that the
# kiosks are more than one batch), reached through Ansible's chroot
# connection, with the packages in a signed repository made by
# scripts/publish.sh: the playbook and role pass ansible-lint; the
# repository lists both architectures and keeps its key; the first run sets
# the kiosks up, the second changes nothing, both in batches of the
# inventory's size; a dry run (--check) changes nothing; a refused price list
# changes none, nor an unsafe drive A; a changed setting is taken even when
# the play fails later; a good price list and a changed setting reach them; a
# new version from the repository reaches all.
#
#   bash tests/deploy/chain.sh     (as root, after scripts/package.sh and scripts/package.sh --dist trixie)
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
bash "$root/scripts/setup.sh" ansible ansible-lint mmdebstrap reprepro gnupg >/dev/null
source "$root/scripts/debian-tree.sh"
source "$root/tests/support/chain-inventory.sh"
work="$(mktemp -d /var/tmp/plimbo-chain.XXXXXX)"
trap 'tree_release; tree_remove "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

shopt -s nullglob
deb12=("$root"/build/package/plimbo-shop_*.deb)
deb13=("$root"/build/package/trixie/plimbo-shop_*.deb)
[ "${#deb12[@]}" -eq 1 ] && [ "${#deb13[@]}" -eq 1 ] ||
  fail "build both packages first: scripts/package.sh and scripts/package.sh --dist trixie"

echo "== ansible-lint"
(cd "$root/deploy" && ansible-lint --offline --nocolor -q -c .ansible-lint site.yml roles/plimbo_kiosk) >"$work/lint.log" 2>&1 ||
  { cat "$work/lint.log"; fail "ansible-lint finds fault with the playbook or the role"; }

echo "== the repository"
export GNUPGHOME="$work/gnupg"
mkdir -m 700 "$GNUPGHOME"
# A second architecture: the arm64 package for Debian 12 where it was built
# (package.sh --arch arm64), else the Debian 12 one relabelled.
arm64=("$root"/build/package/bookworm-arm64/plimbo-shop_*_arm64.deb)
if [ "${#arm64[@]}" -eq 1 ]; then
  cp "${arm64[0]}" "$work/arm64.deb"
else
  dpkg-deb -R "${deb12[0]}" "$work/repack"
  sed -i 's/^Architecture: .*/Architecture: arm64/' "$work/repack/DEBIAN/control"
  dpkg-deb -b "$work/repack" "$work/arm64.deb" >/dev/null
fi
publish() { bash "$root/scripts/publish.sh" "$@" >"$work/publish.log" 2>&1; }
# A first publish that reprepro stops part way has its key beside what it signed.
echo "no package" >"$work/broken.deb"
if publish "$work/first" "${deb12[0]}" "$work/broken.deb"; then fail "publish.sh published a broken package"; fi
[ -s "$work/first/public/plimbo-archive-keyring.gpg" ] || fail "a first publish signed a repository without its key"
publish "$work/repo" "${deb12[0]}" "${deb13[0]}" "$work/arm64.deb" || { cat "$work/publish.log"; fail "publish.sh failed"; }
public="$work/repo/public"
grep -qx 'Architectures: amd64 arm64' "$public/dists/bookworm/Release" || fail "Debian 12's Release does not list amd64 and arm64"
grep -qx 'Architectures: amd64' "$public/dists/trixie/Release" || fail "Debian 13's Release lists more than amd64"
for arch in amd64 arm64; do
  grep -qx 'Package: plimbo-shop' "$public/dists/bookworm/main/binary-$arch/Packages" || fail "no $arch Packages for Debian 12"
done
[ "$(ls "$public")" = "$(printf 'dists\nplimbo-archive-keyring.gpg\npool')" ] ||
  fail "the served folder is not dists/, pool/ and the key alone: $(ls "$public" | paste -sd " ")"
cp "$public/plimbo-archive-keyring.gpg" "$work/key" && cp "$public/dists/bookworm/InRelease" "$work/InRelease"
for k in another revoked; do
  gpg --batch --quiet --passphrase '' --quick-gen-key "A key <$k@plimbo.invalid>" ed25519 sign never 2>/dev/null
done
# gpg keeps a revocation for each key it makes.
revoked="$(gpg --batch --with-colons --list-keys revoked@plimbo.invalid | awk -F: '$1 == "fpr" {print $10; exit}')"
sed 's/^:-----BEGIN/-----BEGIN/' "$GNUPGHOME/openpgp-revocs.d/$revoked.rev" | gpg --batch --quiet --import 2>/dev/null
mkdir -m 700 "$work/no-key"
while IFS='|' read -r keyring signer why; do
  if GNUPGHOME="$work/$keyring" PLIMBO_SIGNING_KEY="$signer" publish "$work/repo" "${deb12[0]}"; then
    fail "publish.sh signed with '$signer' from $keyring"
  fi
  cmp -s "$work/key" "$public/plimbo-archive-keyring.gpg" && cmp -s "$work/InRelease" "$public/dists/bookworm/InRelease" ||
    fail "publish.sh with '$signer' from $keyring changed the published key or the repository"
  grep -q "$why" "$work/publish.log" || fail "publish.sh did not say why it refused '$signer' from $keyring: $(cat "$work/publish.log")"
  cat "$work/publish.log"
done <<'KEYS'
gnupg|mistyped@plimbo.invalid|is not among the secret keys
gnupg|another@plimbo.invalid|holds the key .*, not the signing key
gnupg|revoked@plimbo.invalid|is revoked
no-key||holds no secret key for the published key
KEYS
[ -z "$(GNUPGHOME="$work/no-key" gpg --batch --list-secret-keys 2>/dev/null)" ] || fail "publish.sh made a key beside the published one"
# The control machine's checker, from the package.
dpkg-deb -x "${deb12[0]}" "$work/control"

for release in bookworm trixie; do
  echo "== a new $release kiosk (mmdebstrap)"
  # As a fresh Debian machine is: with systemd and passwd, and the Python Ansible needs.
  tree_make "$release" "$work/$release" systemd,passwd,python3,python3-apt,ca-certificates || fail "no $release kiosk"
  # Services are not started in a chroot.
  printf '#!/bin/sh\nexit 101\n' >"$work/$release/usr/sbin/policy-rc.d"
  chmod +x "$work/$release/usr/sbin/policy-rc.d"
  tree_bind "$public" "$work/$release/srv/plimbo-repo" ro
done
# One that starts into text consoles, and one that an older role set up.
chroot "$work/bookworm" systemctl set-default multi-user.target 2>/dev/null || fail "no text console for kiosk12"
cp "$work/key" "$work/trixie/usr/share/keyrings/plimbo-archive-keyring.gpg"
printf 'Types: deb\nURIs: file:///srv/plimbo-repo\nSuites: trixie\nComponents: main\nSigned-By: %s\n' \
  /usr/share/keyrings/plimbo-archive-keyring.gpg >"$work/trixie/etc/apt/sources.list.d/plimbo.sources"
chroot "$work/trixie" useradd -m kiosk && echo 'export PLIMBO_DRIVE_A=/tmp' >"$work/trixie/home/kiosk/.xsessionrc" || fail "no older kiosk13"

cp "$root/sample/PlimboPrice.txt" "$work/PlimboPrice.txt"
kiosks=(bookworm:kiosk12 trixie:kiosk13)
declare -A extra=()   # further variables of a kiosk
inventory() {
  local k
  chain_inventory 2
  cat <<INVENTORY
        ansible_connection: community.general.chroot
        ansible_python_interpreter: /usr/bin/python3
        plimbo_scale_factor: 2
      hosts:
INVENTORY
  for k in "${kiosks[@]}"; do echo "        ${k##*:}: {ansible_host: $work/${k%%:*}${extra[${k##*:}]:+, ${extra[${k##*:}]}}}"; done
}
export ANSIBLE_STDOUT_CALLBACK=default ANSIBLE_NOCOLOR=1 ANSIBLE_HOST_KEY_CHECKING=False
play() {
  local status=0
  inventory >"$work/inventory.yml"
  ansible-playbook -i "$work/inventory.yml" "$root/deploy/site.yml" "$@" >"$work/play.log" 2>&1 || status=$?
  sed -n '/^PLAY RECAP/,$p' "$work/play.log"
  return "$status"
}
recap() { sed -n "s/^$1 *: .*$2=\([0-9]*\).*/\1/p" "$work/play.log"; }
on() { chroot "$work/$1" "${@:2}"; }
list_on() { cat "$work/$1/srv/plimbo/drive-a/PlimboPrice.txt"; }
# The kiosks of each batch, one batch a line, as the play went.
batches() {
  awk '/^PLAY \[Plimbo kiosks\]/ {n++} /^TASK \[Gathering Facts\]/ {facts = 1; next} /^$/ {facts = 0}
       facts && /^ok: / {print n, substr($2, 2, length($2) - 2)}' "$work/play.log" |
    sort -k1,1n -k2 | awk '{b[$1] = b[$1] (b[$1] ? " " : "") $2} END {for (i = 1; i in b; i++) print b[i]}'
}
# The kiosks on which the display settings' handler ran.
handled() { sed -n '/^RUNNING HANDLER \[plimbo_kiosk : Whether LightDM runs\]/,/^$/s/^ok: \[\([^]]*\)\].*/\1/p' "$work/play.log" | sort | paste -sd ' '; }

echo "== first run"
play || { cat "$work/play.log"; fail "the first run failed"; }
[ "$(batches)" = "kiosk12 kiosk13" ] || fail "the first run's batches were not both kiosks at once: $(batches | paste -sd '|')"
[ "$(handled)" = "kiosk12 kiosk13" ] || fail "the display settings' handler ran on '$(handled)', not on both kiosks"
for k in "${kiosks[@]}"; do
  tree="${k%%:*}" host="${k##*:}"
  [ "$(recap "$host" changed)" -gt 0 ] || fail "the first run changed nothing on $host"
  [ "$(on "$tree" dpkg-query -W -f '${Status}\n' plimbo-shop lightdm 2>&1)" = \
    "$(printf 'install ok installed\ninstall ok installed')" ] || fail "$host lacks the shop or LightDM"
  conf="$work/$tree/etc/lightdm/lightdm.conf.d/50-plimbo-kiosk.conf"
  grep -qx 'autologin-session=plimbo-kiosk' "$conf" || fail "$host does not log straight into plimbo-kiosk"
  cleanup="$(sed -n 's/^session-cleanup-script=//p' "$conf")"
  [ "$(on "$tree" stat -c '%U %a' "$cleanup" 2>&1)" = "root 755" ] || fail "$host lacks LightDM's session-cleanup script"
  grep -q 'DontZap' "$work/$tree/etc/X11/xorg.conf.d/10-plimbo-kiosk.conf" || fail "$host can be zapped"
  cmp -s "$work/$tree/srv/plimbo/drive-a/PlimboPrice.txt" "$work/PlimboPrice.txt" || fail "$host lacks the price list"
  for f in srv/plimbo/drive-a:755 srv/plimbo/drive-a/PlimboPrice.txt:644 etc/default/plimbo-kiosk:644; do
    [ "$(on "$tree" stat -c '%U:%G %a' "/${f%:*}")" = "root:root ${f#*:}" ] || fail "$host's /${f%:*} is $(on "$tree" stat -c '%U:%G %a' "/${f%:*}")"
  done
  [ "$(on "$tree" runuser -u kiosk -- sh -c '. /etc/default/plimbo-kiosk; echo "$QT_SCALE_FACTOR"')" = 2 ] ||
    fail "$host's session settings do not give the scale factor"
  [ ! -e "$work/$tree/home/kiosk/.xsessionrc" ] || fail "$host keeps settings in the kiosk's own home"
  [ -s "$work/$tree/etc/apt/keyrings/plimbo-archive-keyring.gpg" ] && [ ! -e "$work/$tree/usr/share/keyrings/plimbo-archive-keyring.gpg" ] &&
    grep -qx 'Signed-By: /etc/apt/keyrings/plimbo-archive-keyring.gpg' "$work/$tree/etc/apt/sources.list.d/plimbo.sources" ||
    fail "$host's repository key is not (only) in /etc/apt/keyrings"
  [ "$(on "$tree" systemctl get-default)" = graphical.target ] || fail "$host does not start into its display manager"
done
echo "set up both: $(on bookworm dpkg-query -W plimbo-shop) on Debian 12, $(on trixie dpkg-query -W plimbo-shop) on Debian 13"

echo "== a third kiosk (a copy of the first), and a second run"
cp -a --one-file-system "$work/bookworm" "$work/bookworm2"
tree_mount "$work/bookworm2" && tree_bind "$public" "$work/bookworm2/srv/plimbo-repo" ro
kiosks+=(bookworm2:kiosk12b)
play || fail "the second run failed"
for k in "${kiosks[@]}"; do
  [ "$(recap "${k##*:}" changed)" = 0 ] || { cat "$work/play.log"; fail "the second run changed something on ${k##*:}"; }
done
[ "$(batches | paste -sd '|')" = "kiosk12 kiosk13|kiosk12b" ] || fail "the batches were not 2 and 1 kiosks: $(batches | paste -sd '|')"
grep '^PLAY \[Plimbo kiosks\]' "$work/play.log"
batches

echo "== a dry run (--check) with a changed setting on kiosk13"
extra[kiosk13]="plimbo_blank_after: 300"
play --check || { cat "$work/play.log"; fail "the dry run failed"; }
grep -qx 'export PLIMBO_BLANK_AFTER=0' "$work/trixie/etc/default/plimbo-kiosk" || fail "the dry run changed kiosk13's settings"
[ "$(handled)" = kiosk13 ] || fail "the dry run's display settings' handler ran on '$(handled)', not on kiosk13 alone"

# The setting, with a task that fails after it.
mv "$work/trixie/etc/X11/xorg.conf.d" "$work/xorg.conf.d" && touch "$work/trixie/etc/X11/xorg.conf.d"
if play --limit kiosk13; then fail "the play went on past a failing task"; fi
rm "$work/trixie/etc/X11/xorg.conf.d" && mv "$work/xorg.conf.d" "$work/trixie/etc/X11/"
grep -qx 'export PLIMBO_BLANK_AFTER=300' "$work/trixie/etc/default/plimbo-kiosk" || fail "kiosk13's blank time was not set"
[ "$(handled)" = kiosk13 ] || fail "the failure held back kiosk13's display settings' handler"

echo "== drive A in a folder the kiosk's account owns, on kiosk12"
extra[kiosk12]="plimbo_drive_a: /home/kiosk/drive-a"
if play --limit kiosk12; then fail "a play put drive A in the kiosk's home"; fi
extra[kiosk12]=""
grep -q '/home/kiosk, on the way to drive A' "$work/play.log" || fail "the play did not name the folder the kiosk's account owns"

echo "== a batch size that differs from kiosk to kiosk"
extra[kiosk12b]="plimbo_batch: 1"
if play; then fail "a play with two batch sizes ran"; fi
extra[kiosk12b]=""
grep -q 'plimbo_batch differs from kiosk to kiosk (2, 1).*Set it once for all kiosks' "$work/play.log" ||
  fail "the play did not say why it refused the batch size"
grep -q '^PLAY \[Plimbo kiosks\]' "$work/play.log" && fail "a kiosk changed with two batch sizes"

echo "== a price list the shop refuses, for one kiosk (--limit)"
printf '"Adult","Nike    ","Running",8.5\r\n' >"$work/PlimboPrice.txt"
if play --limit kiosk13; then fail "a refused price list did not stop the play"; fi
grep -q "^fatal: \[kiosk13 -> localhost\]: FAILED! => .*$work/PlimboPrice.txt" "$work/play.log" || fail "the play did not stop at the check"
grep -q '^PLAY \[Plimbo kiosks\]' "$work/play.log" && fail "a kiosk was touched after the check failed"
# A control machine whose checker passes it: the kiosk's own refuses it.
if play --limit kiosk13 -e plimbo_checker=/bin/true; then fail "a price list the shop refuses reached kiosk13"; fi
grep -q '^fatal: \[kiosk13\]: FAILED! => .*failed to validate' "$work/play.log" || fail "kiosk13's own checker did not stop the list"
for k in "${kiosks[@]}"; do
  cmp -s <(list_on "${k%%:*}") "$root/sample/PlimboPrice.txt" || fail "a refused price list reached ${k##*:}"
done
sed -n '/^fatal: /p' "$work/play.log" | cut -c 1-300

echo "== a good price list, and a changed setting on kiosk13"
sed 's/,80,/,81,/' "$root/sample/PlimboPrice.txt" >"$work/PlimboPrice.txt"
on trixie systemctl disable lightdm.service 2>/dev/null
extra[kiosk13]="plimbo_blank_after: 600"
play || fail "the run with a good price list failed"
for k in "${kiosks[@]}"; do
  cmp -s <(list_on "${k%%:*}") "$work/PlimboPrice.txt" || fail "the new price list did not reach ${k##*:}"
done
grep -qx 'export PLIMBO_BLANK_AFTER=600' "$work/trixie/etc/default/plimbo-kiosk" || fail "kiosk13's blank time was not set"
[ "$(handled)" = kiosk13 ] || fail "the display settings' handler ran on '$(handled)', not on kiosk13 alone"
[ "$(on trixie systemctl is-enabled lightdm.service)" = enabled ] || fail "LightDM was left disabled on kiosk13"

echo "== a new version in the repository"
for deb in "${deb12[0]}" "${deb13[0]}"; do next_version "$deb" "$work/new-$(basename "$deb")"; done
publish "$work/repo" "$work"/new-*.deb || { cat "$work/publish.log"; fail "publish.sh failed on a new version"; }
play || fail "the run with a new version failed"
for k in bookworm:"${deb12[0]}" bookworm2:"${deb12[0]}" trixie:"${deb13[0]}"; do
  tree="${k%%:*}"
  old="$(dpkg-deb -f "${k#*:}" Version)"
  new="$(on "$tree" dpkg-query -W -f '${Version}' plimbo-shop)"
  [ "$new" = "$(next_of "$old")" ] || fail "$tree has $new, not the new version after $old"
  echo "$tree: $old -> $new"
done
echo "the chain: set up, unchanged on a second run, in batches of the inventory's size, a refused list stopped before any kiosk, a good one, a setting and a new version reached them"
