#!/usr/bin/env bash
# The chain's playbook against virtual kiosks that boot (tests/vm/kiosk-vm.sh:
# Debian from Debian's packages under QEMU), over ssh, as a chain runs it,
# and each kiosk's screen looked at as a customer sees it, held against the
# shop's own pictures of its screens (tools/screenshots):
#
#   - the first run sets a fresh kiosk up and the shop comes on its screen
#     without a reboot; a second run changes nothing;
#   - after a reboot the main menu is on the screen;
#   - Ctrl+Alt+F1..F6, Ctrl+Alt+Backspace, Alt+F4 and Alt+Tab leave it there;
#   - a new price list from the playbook does not reach an order in progress
#     (Find Price still gives the old price) but reaches the kiosk once it is
#     left alone (Find Price gives the new one);
#   - left alone past the X server's screen-saver time (one minute here, set
#     as the server's default), the screen still shows the shop;
#   - after a power cut in the middle of an order, the main menu comes back;
#   - a new version in the chain's repository, brought by unattended-upgrades
#     (run at once rather than overnight), is the program the kiosk runs from
#     its next idle moment;
#   - a changed setting from the playbook (the scale factor) leaves an order
#     in progress alone and is what the shop runs with once the kiosk is
#     left alone.
#
#   bash tests/vm/bench.sh [bookworm] [trixie] [bookworm-arm64] [trixie-arm64]
#       (as root, after scripts/package.sh, and scripts/package.sh --dist trixie for trixie,
#       --arch arm64 for an ARM kiosk, whose release then holds both architectures' packages)
#
# It prints the seconds from power-on and from the end of the play to the
# menu on the screen; under QEMU's emulation (TCG) they say more about the
# emulator than about a kiosk. Pictures of each screen it judged are left in
# build/vm-bench/. One virtual machine at a time; everything it started is
# ended when it ends, however it ends. Exits 77 when QEMU cannot run here.
set -uo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
releases=("$@")
[ "${#releases[@]}" -gt 0 ] || releases=(bookworm)
failures=()
# Skipped only where QEMU cannot run, and never once anything has failed.
skip() {
  if [ "${#failures[@]}" -gt 0 ]; then
    printf 'FAIL: %s\n' "${failures[@]}" "and then: $*"
    exit 1
  fi
  echo "SKIP: the kiosk bench: $*"
  exit 77
}
source "$root/tests/vm/kiosk-vm.sh"
source "$root/tests/support/chain-inventory.sh"
setup_log="$(mktemp)"
# A failed install (a mirror that does not answer, apt's lock held too long)
# is a failure: only a QEMU that cannot run here is a skip.
# shellcheck disable=SC2046
if ! bash "$root/scripts/setup.sh" $(for release in "${releases[@]}"; do vm_tools "$release"; done) mmdebstrap \
  ansible reprepro gnupg openssh-client python3-pil e2fsprogs >"$setup_log" 2>&1; then
  cat "$setup_log"
  echo "FAIL: the kiosk bench's tools could not be installed"
  exit 1
fi
rm -f "$setup_log"
# Whether QEMU can start an empty machine at all here: past that, a kiosk
# that does not start is a failure.
for release in "${releases[@]}"; do
  echo quit | timeout 60 "$(vm_emulator "$release")" -accel tcg -M none -display none -nodefaults -monitor stdio \
    >/dev/null 2>&1 || skip "$(vm_emulator "$release") cannot emulate a $(vm_arch_of "$release") machine here"
done

work="$(mktemp -d /var/tmp/plimbo-bench.XXXXXX)"
keeper=""
child=""
cleanup() {
  for pid in $keeper $child; do kill "$pid" 2>/dev/null; done
  vm_end
  # An arm64 base tree interrupted while it was made leaves emulation on.
  tree_release
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
# A long wait runs in the background, so that an interrupt ends the bench at once.
waiting() {
  local status=0
  "$@" &
  child=$!
  wait "$child" || status=$?
  child=""
  return "$status"
}
shots="$root/build/vm-bench"
mkdir -p "$shots"
fail() { echo "FAIL: $*"; failures+=("$release: $*"); }
fatal() { fail "$*"; exit 1; }
since() { echo "$(date +%s.%N) $1" | awk '{printf "%.0f", $1 - $2}'; }

# The package built for a release, copied: a package built meanwhile does
# not change this run.
package_of() {
  local found
  shopt -s nullglob
  if [ "$1" = "$(. /etc/os-release && echo "$VERSION_CODENAME")" ]; then
    found=("$root"/build/package/plimbo-shop_*.deb)
  else
    found=("$root"/build/package/"$1"/plimbo-shop_*.deb)
  fi
  shopt -u nullglob
  [ "${#found[@]}" -eq 1 ] && cp "${found[0]}" "$work/" && echo "$work/$(basename "${found[0]}")"
}

# The packages, the chain's signed repository and the control machine's
# checker. An ARM kiosk's release holds the PC package as well, as a chain's
# does: the kiosk's apt picks its own. The checker runs here, so it comes
# from the package built for this machine's release and architecture.
declare -A deb
published=()
for release in "${releases[@]}"; do
  deb[$release]="$(package_of "$release")" || fatal "build the $release package first (scripts/package.sh)"
  published+=("${deb[$release]}")
  if [ "${release%-*}" != "$release" ]; then
    pc="$(package_of "${release%-*}")" || fatal "build the ${release%-*} package too (scripts/package.sh)"
    [[ " ${published[*]} " == *" $pc "* ]] || published+=("$pc")
  fi
done
checker="$(package_of "$(. /etc/os-release && echo "$VERSION_CODENAME")")" ||
  fatal "build this machine's package too, for its price checker (scripts/package.sh)"
export GNUPGHOME="$work/gnupg"
mkdir -m 700 "$GNUPGHOME"
bash "$root/scripts/publish.sh" "$work/repo" "${published[@]}" >/dev/null || fatal "publish.sh failed"
# What publish.sh says to serve: the repository and its key, without reprepro's state.
public="$work/repo/public"
dpkg-deb -x "$checker" "$work/control"
# An ARM kiosk's tree is made under emulation: before any kiosk starts.
for release in "${releases[@]}"; do
  vm_base "$release" || { [ $? -eq 77 ] && skip "$release kiosks cannot be made here"; fatal "no $release base tree"; }
done

# The shop's own pictures of its screens, from the sample list and from the
# new list (Nike's basketball shoes at $123 rather than $95).
screenshots="$root/build/debug/tools/plimbo_screenshots"
if [ ! -x "$screenshots" ]; then
  { cmake --preset debug && cmake --build --preset debug --target plimbo_screenshots; } >/dev/null ||
    fatal "cannot build the screenshot tool"
fi
mkdir -p "$work/old" "$work/new"
cp "$root/sample/PlimboPrice.txt" "$work/old/"
sed 's/"Nike    ","Running",80,"Basketball",95,/"Nike    ","Running",80,"Basketball",123,/' \
  "$root/sample/PlimboPrice.txt" >"$work/new/PlimboPrice.txt"
cmp -s "$work/old/PlimboPrice.txt" "$work/new/PlimboPrice.txt" && fatal "the new price list is the old one"
for list in old new; do
  QT_QPA_PLATFORM=offscreen "$screenshots" "$work/$list" "$work/$list/screens" >"$work/screenshots.log" 2>&1 ||
    { cat "$work/screenshots.log"; fatal "no pictures of the shop"; }
done
menu="$work/old/screens/menu.png"

export ANSIBLE_STDOUT_CALLBACK=default ANSIBLE_NOCOLOR=1 ANSIBLE_HOST_KEY_CHECKING=False ANSIBLE_PIPELINING=True
export ANSIBLE_SSH_ARGS="-o ControlMaster=auto -o ControlPersist=120s -o UserKnownHostsFile=/dev/null -o LogLevel=ERROR"
export ANSIBLE_SSH_CONTROL_PATH_DIR="$work/cp"
plays=0
play() {
  local status=0 started
  plays=$((plays + 1))
  started="$(date +%s.%N)"
  waiting ansible-playbook -i "$work/inventory.yml" "$root/deploy/site.yml" >"$work/play.log" 2>&1 || status=$?
  play_seconds="$(since "$started")"
  play_ended="$(date +%s.%N)"
  cp "$work/play.log" "$shots/$release-play$plays.log"
  sed -n '/^PLAY RECAP/,$p' "$work/play.log" | sed '/^$/d'
  echo "(the play took $play_seconds s)"
  return "$status"
}
changed() { sed -n "s/^kiosk *: .*changed=\([0-9]*\).*/\1/p" "$work/play.log"; }

# The screen as a customer sees it, saved as $shots/$release-$1.png.
look() { vm_monitor shot "$shots/$release-$1.png"; }
# Whether picture $2 is on the screen; $3.. a part of it to judge by alone.
# Sets $matched (what the comparison said) and $at (where the picture is).
shows() {
  look "$1" || return 1
  matched="$("$vm_python" "$root/tests/vm/screen.py" match "$shots/$release-$1.png" "$2" "${@:3}")"
  local status=$?
  at="$(echo "$matched" | sed -n 's/.* at //p')"
  return "$status"
}
# Until picture $2 is on the screen, for at most $3 seconds (a PC kiosk's:
# an emulated one has $vm_slow times as long).
wait_for() {
  local end=$((SECONDS + $3 * vm_slow))
  while [ "$SECONDS" -lt "$end" ]; do
    shows "$1" "$2" && return 0
    sleep 1
  done
  return 1
}
# A tap at a point of the picture last found on the screen.
tap() { vm_monitor click $((${at%,*} + $1)) $((${at#*,} + $2)); sleep "$vm_slow"; }
keys() { vm_monitor keys "$@"; sleep 0.5; }

# An order as a customer makes it, from the main menu: adult shoes, Nike's
# basketball shoes in size 10 1/2, three pairs, Find Price. Says which list's
# price is shown: "old", "new" or "neither".
order() {
  wait_for "$1-menu" "$menu" 60 || { echo "neither (no menu)"; return; }
  tap 250 210   # Adult Plimbos
  tap 380 325   # Enter
  wait_for "$1-adult" "$work/old/screens/adult.png" 30 ||
    { echo "neither (the adult screen is not in front 30 s after Enter: $matched)"; return; }
  find_price "$1"
  price_shown "$1"
}
# On the adult screen: the choices above, then Find Price.
find_price() {
  shows "$1-adult" "$work/old/screens/adult.png"
  tap 45 147    # Nike
  tap 150 134   # Basketball
  tap 230 212   # 10 1/2
  tap 308 130   # the quantity
  keys ctrl a; keys 3
  tap 420 134   # Find Price
}
# The adult screen, then its price box against the pictures of both lists:
# the one it is clearly nearer (the greyed figures of two prices differ in
# too few pixels to fail a match). For up to 20 s: a busy machine draws late.
price_shown() {
  local nearer end=$((SECONDS + 20 * vm_slow))
  while :; do
    if shows "$1" "$work/old/screens/adult.png"; then
      nearer="$("$vm_python" "$root/tests/vm/screen.py" nearest "$shots/$release-$1.png" 472 114 89 33 \
                "$work/old/screens/adult.png" "$work/new/screens/adult.png")" &&
        { echo "$(basename "$(dirname "$(dirname "$nearer")")")"; return; }
    fi
    [ "$SECONDS" -lt "$end" ] || break
    sleep 1
  done
  echo "neither ($matched)"
}
# A customer at the screen: the pointer moves a little every ten seconds.
keep_busy() {
  while :; do
    vm_monitor move 3 3 >/dev/null 2>&1
    sleep 10
    vm_monitor move 4 4 >/dev/null 2>&1
    sleep 10
  done &
  keeper=$!
}
leave_alone() { kill "$keeper" 2>/dev/null; wait "$keeper" 2>/dev/null; keeper=""; }

# The chain's repository as it now stands, on the kiosk's own disk.
copy_repo() {
  tar -C "$public" -c . | vm_ssh 'rm -rf /srv/plimbo-repo && mkdir -p /srv/plimbo-repo && tar -C /srv/plimbo-repo -x'
}
# What the kiosk session said, for a failure that needs it: the last lines
# here, all of it in build/vm-bench/.
session_log() {
  vm_ssh 'cat /home/kiosk/.xsession-errors' >"$shots/$release-xsession-errors.log" 2>&1
  tail -n 15 "$shots/$release-xsession-errors.log" | sed 's/^/    /'
}
# The shop's process on the kiosk, and the program it runs.
shop_runs() { vm_ssh 'pid="$(pgrep -x plimbo | head -n 1)" && echo "$pid $(readlink /proc/$pid/exe)"'; }

declare -A figures
for release in "${releases[@]}"; do
  echo "== a $release kiosk: a fresh disk from Debian's packages, booted by QEMU"
  vm_disk "$release" || fatal "no $release disk"
  vm_power_on || fatal "QEMU did not start the kiosk"
  figures[$release.under]="$vm_under"
  vm_wait_ssh 600 || { tail -n 20 "$vm/serial.log"; fatal "the $release kiosk did not come up"; }
  copy_repo || fatal "cannot copy the repository onto the kiosk"
  # The X server's own screen-saver time, one minute (its shortest) rather
  # than ten, given on its command line (the power saving follows it): an X
  # settings file would have to be a ServerFlags section, which takes the
  # place of the role's.
  vm_ssh 'mkdir -p /etc/lightdm/lightdm.conf.d && cat >/etc/lightdm/lightdm.conf.d/90-bench-idle.conf' <<'CONF'
[Seat:*]
xserver-command=X -s 1
CONF
  cp "$work/old/PlimboPrice.txt" "$work/PlimboPrice.txt"
  {
    chain_inventory 1
    cat <<INVENTORY
        ansible_user: root
        ansible_python_interpreter: /usr/bin/python3
        plimbo_idle_reset: 30
      hosts:
        kiosk:
          ansible_host: 127.0.0.1
          ansible_port: $vm_port
          ansible_ssh_private_key_file: $vm_cache/$release/id_ed25519
INVENTORY
  } >"$work/inventory.yml"

  echo "== the first run"
  play || { cat "$work/play.log"; fatal "the first run failed"; }
  figures[$release.play1]="$play_seconds"
  [ "$(changed)" -gt 0 ] || fail "the first run changed nothing"
  echo "the chain's repository for $(sed -n 's/^Codename: //p' "$public/dists/${release%-*}/Release"):" \
       "$(grep '^Architectures:' "$public/dists/${release%-*}/Release"); the kiosk's apt:"
  vm_ssh 'echo "$(dpkg --print-architecture) machine, installed:" \
          "$(dpkg-query -W -f "\${Package} \${Version} \${Architecture}" plimbo-shop)"; apt-cache policy plimbo-shop' |
    sed 's/^/    /'
  if wait_for first-run "$menu" 180; then
    figures[$release.play-to-menu]="$(since "$play_ended")"
    echo "the menu is on the screen ${figures[$release.play-to-menu]} s after the play ($matched)"
  else
    figures[$release.play-to-menu]="never"
    fail "$((180 * vm_slow)) s after the first run the screen shows no shop ($matched; LightDM is $(vm_ssh systemctl is-active lightdm)): $shots/$release-first-run.png"
  fi

  echo "== the second run"
  play || fail "the second run failed"
  figures[$release.play2]="$play_seconds"
  [ "$(changed)" = 0 ] || { grep -B3 '^changed:' "$work/play.log"; fail "the second run changed something"; }

  echo "== a reboot"
  boots="$(grep -c 'Linux version' "$vm/serial.log")"
  vm_ssh systemctl reboot
  rebooted="$(date +%s.%N)"
  # The old screen stays until the machine is down: judge only the new boot's.
  for _ in $(seq $((300 * vm_slow))); do
    [ "$(grep -c 'Linux version' "$vm/serial.log")" -gt "$boots" ] && break
    sleep 1
  done
  [ "$(grep -c 'Linux version' "$vm/serial.log")" -gt "$boots" ] || fatal "the kiosk never started again after 'systemctl reboot'"
  if wait_for after-reboot "$menu" 300; then
    figures[$release.reboot]="$(since "$rebooted")"
    echo "the menu is on the screen ${figures[$release.reboot]} s after 'systemctl reboot' ($matched)"
  else
    fail "no menu on the screen after a reboot ($matched): $shots/$release-after-reboot.png"
  fi

  echo "== the console keys"
  before="${#failures[@]}"
  for chord in "ctrl alt f1" "ctrl alt f2" "ctrl alt f3" "ctrl alt f4" "ctrl alt f5" "ctrl alt f6" \
               "ctrl alt backspace" "alt f4" "alt tab"; do
    keys $chord
    sleep $((3 * vm_slow))
    name="keys-${chord// /-}"
    shows "$name" "$menu" || fail "after ${chord// /+} the menu is not on the screen ($matched): $shots/$release-$name.png"
  done
  [ "${#failures[@]}" -gt "$before" ] ||
    echo "each of Ctrl+Alt+F1..F6, Ctrl+Alt+Backspace, Alt+F4, Alt+Tab left the menu on the screen"

  echo "== an order, and a new price list from the playbook while it goes on"
  shown="$(order order)"
  [ "$shown" = old ] || fail "Find Price during an order shows $shown, not the sample list's price: $shots/$release-order.png"
  cp "$work/new/PlimboPrice.txt" "$work/PlimboPrice.txt"
  keep_busy
  play || fail "the run with a new price list failed"
  figures[$release.play3]="$play_seconds"
  find_price order-after-play
  shown="$(price_shown order-after-play)"
  leave_alone
  if [ "$shown" = old ]; then
    echo "Find Price in the order under way still gives the old price"
  else
    fail "the order in progress changed prices under the customer ($shown): $shots/$release-order-after-play.png"
  fi

  echo "== the kiosk left alone for 90 s (the shop starts afresh after 30, the X server blanks after 60)"
  waiting sleep 90
  # (An emulated kiosk may still be drawing the shop it started afresh.)
  if wait_for left-alone "$menu" 5; then
    echo "after 90 s left alone the menu is on the screen ($matched)"
  else
    fail "after 90 s left alone the screen does not show the menu ($matched): $shots/$release-left-alone.png"
  fi
  # What the X server itself says: no screen saver, no power saving.
  saver="$(vm_ssh 'DISPLAY=:0 XAUTHORITY=/var/run/lightdm/root/:0 xset q' |
           sed -n 's/^ *\(prefer blanking: *[a-z]*\).*/\1/p; s/^ *\(timeout: *[0-9]*\).*/\1/p; s/^ *\(DPMS is [A-Za-z]*\)/\1/p' |
           tr -s ' ' | paste -sd ',')"
  echo "the X server: $saver"
  [ "$saver" = "prefer blanking: no,timeout: 0,DPMS is Disabled" ] || fail "the X server would darken the screen: $saver"
  shown="$(order new-order)"
  if [ "$shown" = new ]; then
    echo "the next order's Find Price gives the new price"
  else
    fail "Find Price in the next order shows $shown, not the new price: $shots/$release-new-order.png"
    session_log
  fi

  echo "== a power cut in the middle of that order"
  vm_power_cut
  vm_power_on
  if wait_for after-power-cut "$menu" 300; then
    figures[$release.boot]="$(since "$vm_power_on_at")"
    echo "the menu is on the screen ${figures[$release.boot]} s after power-on ($matched)"
  else
    fail "no menu on the screen after a power cut ($matched): $shots/$release-after-power-cut.png"
  fi

  echo "== a new version in the chain's repository, by unattended-upgrades"
  vm_wait_ssh 120 || fatal "no ssh after the power cut"
  before="$(shop_runs)"
  mkdir -p "$work/next"
  next_version "${deb[$release]}" "$work/next/$(basename "${deb[$release]}")"
  bash "$root/scripts/publish.sh" "$work/repo" "$work/next/$(basename "${deb[$release]}")" >/dev/null &&
    copy_repo || fatal "cannot publish the new version"
  # What the daily timers would start: the package lists, then unattended-upgrades.
  waiting vm_ssh 'systemctl start apt-daily.service && systemctl start apt-daily-upgrade.service'
  upgraded="$(date +%s.%N)"
  version="$(vm_ssh dpkg-query -W -f '\${Version}' plimbo-shop)"
  old="$(dpkg-deb -f "${deb[$release]}" Version)"
  [ "$version" = "$(next_of "$old")" ] ||
    fail "unattended-upgrades left $version, not the new version ($(vm_ssh tail -n 5 /var/log/unattended-upgrades/unattended-upgrades.log))"
  running=""
  for _ in $(seq $((45 * vm_slow))); do
    running="$(shop_runs)"
    case "$running" in *deleted* | "") sleep 2 ;; *) [ "$running" != "$before" ] && break; sleep 2 ;; esac
  done
  case "$running" in
  *deleted* | "" | "$before")
    fail "$((90 * vm_slow)) s after the upgrade to $version the kiosk still runs the old program ($running)" ;;
  *)
    echo "the kiosk runs $version $(since "$upgraded") s after the upgrade ($before -> $running)" ;;
  esac
  shows after-upgrade "$menu" || fail "after the upgrade the menu is not on the screen ($matched): $shots/$release-after-upgrade.png"

  echo "== a changed setting from the playbook during an order (the scale factor), then the kiosk left alone"
  shown="$(order setting)"
  before="$(shop_runs)"
  sed -i 's/^\( *\)plimbo_idle_reset: 30$/&\n\1plimbo_scale_factor: 2/' "$work/inventory.yml"
  keep_busy
  play || fail "the run with a changed setting failed"
  figures[$release.play4]="$play_seconds"
  after="$(price_shown setting-after-play)"
  leave_alone
  if [ "$(shop_runs)" = "$before" ] && [ "$after" = "$shown" ] && [ "$shown" = new ]; then
    echo "the order under way was left as it was"
  else
    fail "a changed setting ended the order in progress ($before -> $(shop_runs), $shown -> $after): $shots/$release-setting-after-play.png"
  fi
  scaled() { vm_ssh 'tr "\0" "\n" </proc/$(pgrep -x plimbo | head -n 1)/environ' 2>/dev/null | grep -qx QT_SCALE_FACTOR=2; }
  started="$(date +%s.%N)"
  for _ in $(seq $((60 * vm_slow))); do scaled && break; sleep 5; done
  if scaled; then
    echo "the shop runs at the new scale $(since "$started") s after it was left alone"
    look setting-taken
  else
    session_log
    fail "$((5 * vm_slow)) minutes after it was left alone the shop does not run at the new scale: $shots/$release-xsession-errors.log"
  fi
  vm_end
done

echo "== seconds, on this machine (under emulation they measure the emulator more than the kiosk)"
printf '%-42s' ""; printf '%12s' "${releases[@]}"; echo
for figure in "under:KVM or QEMU's emulation (TCG)" "play1:the first play" "play-to-menu:the end of the first play to the menu" \
              "play2:the second play (nothing to change)" "reboot:'systemctl reboot' to the menu" \
              "boot:power-on to the menu (after a power cut)" "play3:the play with a new price list" \
              "play4:the play with a changed setting"; do
  printf '%-42s' "${figure#*:}"
  for release in "${releases[@]}"; do printf '%12s' "${figures[$release.${figure%%:*}]:--}"; done
  echo
done
if [ "${#failures[@]}" -gt 0 ]; then
  printf 'FAIL: %s\n' "${failures[@]}"
  exit 1
fi
echo "the kiosks: set up without a visit, unchanged on a second run, the menu after a reboot and a power cut," \
     "no way out by the keyboard, awake when left alone, new prices between orders, a new version and new settings at the next idle moment"
