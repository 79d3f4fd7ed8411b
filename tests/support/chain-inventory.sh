# The top of an inventory for the chain's playbook as the tests write it:
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
