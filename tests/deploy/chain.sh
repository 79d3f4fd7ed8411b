#!/usr/bin/env bash
# The chain's playbook against two kiosks that are chroots made with
# mmdebstrap, one Debian 12 and one Debian 13, reached through Ansible's
# chroot connection, with the packages in a signed repository made by
# scripts/publish.sh: the first run sets both up, the second changes
# nothing, a refused price list changes neither, a good one reaches both,
# a new version from the repository reaches both.
#
#   bash tests/deploy/chain.sh     (as root, after scripts/package.sh and scripts/package.sh --dist trixie)
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
bash "$root/scripts/setup.sh" ansible mmdebstrap reprepro gnupg >/dev/null
source "$root/scripts/debian-tree.sh"
work="$(mktemp -d /var/tmp/plimbo-chain.XXXXXX)"
trap 'tree_release; tree_remove "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

shopt -s nullglob
deb12=("$root"/build/package/plimbo-shop_*.deb)
deb13=("$root"/build/package/trixie/plimbo-shop_*.deb)
[ "${#deb12[@]}" -eq 1 ] && [ "${#deb13[@]}" -eq 1 ] ||
  fail "build both packages first: scripts/package.sh and scripts/package.sh --dist trixie"

export GNUPGHOME="$work/gnupg"
mkdir -m 700 "$GNUPGHOME"
bash "$root/scripts/publish.sh" "$work/repo" "${deb12[0]}" "${deb13[0]}" >/dev/null
# The control machine's checker, from the package.
dpkg-deb -x "${deb12[0]}" "$work/control"

for release in bookworm trixie; do
  echo "== a new $release kiosk (mmdebstrap)"
  tree_make "$release" "$work/$release" python3,python3-apt,ca-certificates || fail "no $release kiosk"
  # Services are not started in a chroot.
  printf '#!/bin/sh\nexit 101\n' >"$work/$release/usr/sbin/policy-rc.d"
  chmod +x "$work/$release/usr/sbin/policy-rc.d"
  tree_bind "$work/repo" "$work/$release/srv/plimbo-repo" ro
done

cp "$root/sample/PlimboPrice.txt" "$work/PlimboPrice.txt"
cat >"$work/inventory.yml" <<INVENTORY
all:
  vars:
    plimbo_repo_url: file:///srv/plimbo-repo
    plimbo_repo_key: $work/repo/plimbo-archive-keyring.gpg
    plimbo_price_list: $work/PlimboPrice.txt
    plimbo_checker: $work/control/usr/bin/plimbo-check-prices
    plimbo_batch: 1
  children:
    kiosks:
      vars:
        ansible_connection: community.general.chroot
        ansible_python_interpreter: /usr/bin/python3
      hosts:
        kiosk12: {ansible_host: $work/bookworm}
        kiosk13: {ansible_host: $work/trixie, plimbo_scale_factor: 2}
INVENTORY
export ANSIBLE_STDOUT_CALLBACK=default ANSIBLE_NOCOLOR=1 ANSIBLE_HOST_KEY_CHECKING=False
play() {
  local status=0
  ansible-playbook -i "$work/inventory.yml" "$root/deploy/site.yml" >"$work/play.log" 2>&1 || status=$?
  sed -n '/^PLAY RECAP/,$p' "$work/play.log"
  return "$status"
}
recap() { sed -n "s/^$1 *: .*$2=\([0-9]*\).*/\1/p" "$work/play.log"; }
on() { chroot "$work/$1" "${@:2}"; }
list_on() { cat "$work/$1/srv/plimbo/drive-a/PlimboPrice.txt"; }

echo "== first run"
play || { cat "$work/play.log"; fail "the first run failed"; }
for k in bookworm:kiosk12 trixie:kiosk13; do
  tree="${k%%:*}" host="${k##*:}"
  [ "$(recap "$host" changed)" -gt 0 ] || fail "the first run changed nothing on $host"
  on "$tree" dpkg-query -W -f '${Status}\n' plimbo-shop lightdm | grep -vqx 'install ok installed' &&
    fail "$host lacks the shop or LightDM"
  grep -qx 'autologin-session=plimbo-kiosk' "$work/$tree/etc/lightdm/lightdm.conf.d/50-plimbo-kiosk.conf" ||
    fail "$host does not log straight into plimbo-kiosk"
  grep -q 'DontZap' "$work/$tree/etc/X11/xorg.conf.d/10-plimbo-kiosk.conf" || fail "$host can be zapped"
  cmp -s "$work/$tree/srv/plimbo/drive-a/PlimboPrice.txt" "$work/PlimboPrice.txt" || fail "$host lacks the price list"
done
grep -qx 'export QT_SCALE_FACTOR=2' "$work/trixie/home/kiosk/.xsessionrc" || fail "kiosk13's scale factor was not set"
echo "set up both: $(on bookworm dpkg-query -W plimbo-shop) on Debian 12, $(on trixie dpkg-query -W plimbo-shop) on Debian 13"

echo "== second run"
play || fail "the second run failed"
[ "$(recap kiosk12 changed)" = 0 ] && [ "$(recap kiosk13 changed)" = 0 ] ||
  { cat "$work/play.log"; fail "the second run changed something"; }

echo "== a price list the shop refuses"
printf '"Adult","Nike    ","Running",8.5\r\n' >"$work/PlimboPrice.txt"
if play; then fail "a refused price list did not stop the play"; fi
grep -q 'fatal: \[localhost\]' "$work/play.log" || fail "the play did not stop at the check"
[ -z "$(recap kiosk12 ok)$(recap kiosk13 ok)" ] || fail "a kiosk was touched after the check failed"
cmp -s <(list_on bookworm) "$root/sample/PlimboPrice.txt" && cmp -s <(list_on trixie) "$root/sample/PlimboPrice.txt" ||
  fail "a refused price list reached a kiosk"
sed -n '/fatal: \[localhost\]/,/^$/p' "$work/play.log" | head -n 12

echo "== a good price list"
sed 's/,80,/,81,/' "$root/sample/PlimboPrice.txt" >"$work/PlimboPrice.txt"
play || fail "the run with a good price list failed"
cmp -s <(list_on bookworm) "$work/PlimboPrice.txt" && cmp -s <(list_on trixie) "$work/PlimboPrice.txt" ||
  fail "the new price list did not reach both kiosks"

echo "== a new version in the repository"
# The same packages as the next release: the version's upstream part with ".1" after it.
for deb in "${deb12[0]}" "${deb13[0]}"; do
  rm -rf "$work/repack"
  dpkg-deb -R "$deb" "$work/repack"
  sed -i 's/^Version: \([^+]*\)/Version: \1.1/' "$work/repack/DEBIAN/control"
  dpkg-deb -b "$work/repack" "$work/new-$(basename "$deb")" >/dev/null
done
bash "$root/scripts/publish.sh" "$work/repo" "$work"/new-*.deb >/dev/null
play || fail "the run with a new version failed"
for k in bookworm:"${deb12[0]}" trixie:"${deb13[0]}"; do
  tree="${k%%:*}"
  old="$(dpkg-deb -f "${k#*:}" Version)"
  new="$(on "$tree" dpkg-query -W -f '${Version}' plimbo-shop)"
  [ "$new" = "${old%%+*}.1${old#"${old%%+*}"}" ] || fail "$tree has $new, not the new version after $old"
  echo "$tree: $old -> $new"
done
echo "the chain: set up, unchanged on a second run, a refused list stopped before any kiosk, a good one and a new version reached both"
