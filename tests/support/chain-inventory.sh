# What the chain's tests share. The top of an inventory for the chain's
# playbook as the tests write it:
# the repository served from the kiosk's own disk with its key in $public,
# the price list and the control machine's checker in $work, kiosks changed
# $1 at a time; the kiosks group's own variables follow it.
chain_inventory() {
  cat <<INVENTORY
all:
  vars:
    plimbo_repo_url: file:///srv/plimbo-repo
    plimbo_repo_key: $public/plimbo-archive-keyring.gpg
    plimbo_price_list: $work/PlimboPrice.txt
    plimbo_checker: $work/control/usr/bin/plimbo-check-prices
    plimbo_batch: $1
  children:
    kiosks:
      vars:
INVENTORY
}

# The same package as the next release, written to $2: the version's
# upstream part with ".1" after it (1.2.0+trixie -> 1.2.0.1+trixie).
next_version() {
  rm -rf "$work/repack"
  dpkg-deb -R "$1" "$work/repack"
  sed -i 's/^Version: \([^+]*\)/Version: \1.1/' "$work/repack/DEBIAN/control"
  dpkg-deb -b "$work/repack" "$2" >/dev/null
}
# The version next_version gives a package of version $1.
next_of() { echo "${1%%+*}.1${1#"${1%%+*}"}"; }
