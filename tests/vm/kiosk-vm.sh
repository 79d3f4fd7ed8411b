#!/usr/bin/env bash
# A virtual kiosk: a bootable Debian disk made from Debian's packages alone
# (mmdebstrap: the kernel, systemd, an ssh server, python3, the network),
# booted by QEMU with the disk's own kernel and initrd given directly. Its ssh
# server is forwarded to a port on 127.0.0.1 only; its screen, keyboard, a USB
# tablet and the power are reached through QEMU's monitor (QMP) on a private
# socket. Whatever makes it a kiosk comes later, over ssh, from the chain's
# playbook.
#
#   bash tests/vm/kiosk-vm.sh RELEASE     (as root) boots one and keeps it until Ctrl+C
#
# RELEASE is bookworm or trixie, a PC kiosk of this machine's architecture,
# or bookworm-arm64 or trixie-arm64, a small ARM board (QEMU's "virt"
# machine with a virtio GPU, emulated on a PC).
#
# Sourced (as the bench does), it gives, for one virtual machine at a time in
# the folder $vm:
#   vm_emulator RELEASE    the QEMU program that boots it
#   vm_tools RELEASE       the Debian packages that make its tree and boot it
#   vm_base RELEASE        the release's base tree, made once and kept in $vm_cache;
#                          77 when another architecture's programs cannot run here
#   vm_disk RELEASE        a fresh disk from that tree; $vm_slow is how many times
#                          longer than a PC kiosk it takes to boot and draw (4 for
#                          another architecture's, emulated instruction by instruction)
#   vm_power_on            starts the machine: KVM where a guest really runs
#                          under it, else QEMU's own emulation (TCG); $vm_under
#                          says which
#   vm_wait_ssh SECONDS    until its ssh server answers (SECONDS a PC kiosk's: times $vm_slow)
#   vm_ssh COMMAND...      runs a command on it as root
#   vm_monitor ...         tests/vm/screen.py with the monitor's socket:
#                          shot, keys, click, move, quit
#   vm_power_cut           the power cord pulled: QEMU ends at once
#   vm_end                 the machine gone, its disk, socket and logs too
vm_cache="${PLIMBO_VM_CACHE:-/var/cache/plimbo-vm}"
vm_here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
vm=""
vm_port=""
vm_accel="${PLIMBO_VM_ACCEL:-}"
vm_python=/usr/bin/python3
source "$vm_here/../../scripts/debian-tree.sh"

vm_host_arch="$(dpkg --print-architecture)"
# A release's architecture: after the "-", else this machine's.
vm_arch_of() { case "$1" in *-*) echo "${1##*-}" ;; *) echo "$vm_host_arch" ;; esac; }
vm_emulator() { case "$(vm_arch_of "$1")" in arm64) echo qemu-system-aarch64 ;; *) echo qemu-system-x86_64 ;; esac; }
vm_tools() {
  # ipxe-qemu holds the virtio network card's option ROM, which QEMU loads on
  # every board; the x86 emulator depends on it, the ARM one only recommends it.
  case "$(vm_arch_of "$1")" in arm64) echo qemu-system-arm ipxe-qemu arch-test ;; *) echo qemu-system-x86 ;; esac
}

# What goes into the base tree; the stamp beside a kept tree says which
# list made it, so a changed list makes a new tree.
vm_packages() { echo "linux-image-$1,systemd-sysv,openssh-server,python3,udev,dbus,libpam-systemd"; }

vm_base() {
  local base="$vm_cache/$1" arch stamp status=0
  arch="$(vm_arch_of "$1")"
  stamp="$(vm_packages "$arch") $(tree_mirror)"
  [ -f "$base/stamp" ] && [ "$(cat "$base/stamp")" = "$stamp" ] && return 0
  echo "making the $1 base tree in $base (mmdebstrap; kept for the next run)" >&2
  rm -rf --one-file-system "$base"
  mkdir -p "$base"
  ssh-keygen -q -t ed25519 -N '' -C plimbo-kiosk-vm -f "$base/id_ed25519"
  # Another architecture's packages are set up by their own programs, run
  # under emulation while the tree is made.
  if [ "$arch" != "$vm_host_arch" ]; then
    tree_emulate "$arch" || return 77
  fi
  vm_make_tree "${1%-"$arch"}" "$arch" "$base" "$stamp" || status=$?
  tree_release
  return "$status"
}

vm_make_tree() {
  local base="$3" initramfs=()
  # Under emulation the initramfs is made a program at a time for each of
  # the kernel's thousands of modules, an hour's work: the virtual board
  # needs only those of its virtio disk.
  [ "$2" = "$vm_host_arch" ] || initramfs=(--essential-hook='cd "$1" &&
    mkdir -p etc/initramfs-tools/conf.d usr/share/initramfs-tools/modules.d &&
    echo MODULES=list >etc/initramfs-tools/conf.d/plimbo-vm &&
    printf "%s\n" virtio_pci virtio_blk ext4 crc32c_generic >usr/share/initramfs-tools/modules.d/plimbo-vm')
  if ! mmdebstrap --variant=important --architectures="$2" --include="$(vm_packages "$2")" "${initramfs[@]}" \
         "$1" "$base/tree" $(tree_mirror) >"$base/mmdebstrap.log" 2>&1; then
    tail -n 20 "$base/mmdebstrap.log" >&2
    return 1
  fi
  local t="$base/tree"
  echo '/dev/vda / ext4 defaults 0 1' >"$t/etc/fstab"
  echo kiosk-vm >"$t/etc/hostname"
  # QEMU's user network: DHCP on the one card, QEMU's own name server.
  printf '[Match]\nName=e*\n\n[Network]\nDHCP=yes\n' >"$t/etc/systemd/network/20-wired.network"
  rm -f "$t/etc/resolv.conf"
  echo 'nameserver 10.0.2.3' >"$t/etc/resolv.conf"
  chroot "$t" systemctl enable --quiet systemd-networkd
  install -d -m 700 "$t/root/.ssh"
  install -m 600 "$base/id_ed25519.pub" "$t/root/.ssh/authorized_keys"
  echo "$4" >"$base/stamp"
}

# A fresh 6 GB disk (sparse) from the release's base tree, made without
# root's help (no loop device) by mkfs.ext4 itself.
vm_disk() {
  vm_base "$1" || return
  [ -n "$vm" ] || vm="$(mktemp -d /var/tmp/plimbo-vm.XXXXXX)"
  vm_release="$1"
  vm_arch="$(vm_arch_of "$1")"
  vm_slow=1
  [ "$vm_arch" = "$vm_host_arch" ] || vm_slow=4
  rm -f "$vm/disk.raw"
  truncate -s 6G "$vm/disk.raw"
  mkfs.ext4 -q -F -d "$vm_cache/$1/tree" "$vm/disk.raw" >/dev/null
}

# A PC has its standard VGA card and a PS/2 keyboard; an ARM board (QEMU's
# "virt") a virtio GPU, a USB keyboard and its PL011 serial line. The USB
# devices go after their controller, KVM's "-cpu host" after the board's.
# The disk's flushes stop at this machine's memory (cache=unsafe): dpkg's
# many syncs cost the emulated kiosk nothing, and a power cut still loses
# all that the guest had not yet written to its disk.
vm_qemu() {
  local tree="$vm_cache/$vm_release/tree" accel=(-accel tcg -smp 1) machine=(-vga std) console=ttyS0
  [ "$vm_arch" = arm64 ] && machine=(-M virt -cpu max -device virtio-gpu-pci -device usb-kbd) console=ttyAMA0
  [ "$1" = kvm ] && accel=(-accel kvm -cpu host -smp 2)
  rm -f "$vm/qmp.sock" "$vm/qemu.pid"
  "$(vm_emulator "$vm_release")" -m 2048 -name plimbo-kiosk \
    -kernel "$(ls "$tree"/boot/vmlinuz-* | tail -n 1)" -initrd "$(ls "$tree"/boot/initrd.img-* | tail -n 1)" \
    -append "root=/dev/vda rw console=$console net.ifnames=0" \
    -drive file="$vm/disk.raw",if=virtio,format=raw,cache=unsafe \
    -nic user,model=virtio-net-pci,hostfwd=tcp:127.0.0.1:"$vm_port"-:22 \
    -device qemu-xhci -device usb-tablet "${machine[@]}" "${accel[@]}" -display none \
    -serial file:"$vm/serial.log" -qmp unix:"$vm/qmp.sock",server=on,wait=off \
    -daemonize -pidfile "$vm/qemu.pid"
}

# Whether the kernel has said anything on the serial line within $1 seconds.
vm_kernel_talks() {
  local i
  for ((i = 0; i < $1 * 2; i++)); do
    grep -q 'Linux version' "$vm/serial.log" 2>/dev/null && return 0
    sleep 0.5
  done
  return 1
}

vm_power_on() {
  local accel
  [ -n "$vm_port" ] || vm_port="$($vm_python -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')"
  if [ "$vm_arch" != "$vm_host_arch" ]; then
    # KVM runs guests of this machine's own architecture only.
    accel=tcg
    echo "the virtual $vm_arch kiosk runs under QEMU's emulation (TCG) on this $vm_host_arch machine" >&2
  elif [ -z "$vm_accel" ]; then
    # /dev/kvm may open and QEMU may say KVM is there while a guest never
    # gets past the firmware: try it, and keep it only if the kernel talks.
    vm_accel=tcg
    if [ -w /dev/kvm ] && vm_qemu kvm 2>/dev/null && vm_kernel_talks 15; then
      vm_accel=kvm vm_under=kvm
      vm_power_on_at="$(date +%s.%N)"
      echo "the virtual kiosk runs under KVM" >&2
      return 0
    fi
    vm_power_cut
    echo "the virtual kiosk runs under QEMU's emulation (TCG): KVM did not get a guest past its firmware here" >&2
  fi
  vm_under="${accel:-$vm_accel}"
  vm_power_on_at="$(date +%s.%N)"
  # The port may still be held a moment by the connections of the machine
  # whose power was cut.
  for _ in 1 2 3 4 5; do
    vm_qemu "$vm_under" && return 0
    sleep 3
    vm_power_on_at="$(date +%s.%N)"
  done
  return 1
}

vm_ssh_options() {
  echo "-o StrictHostKeyChecking=no -o UserKnownHostsFile=/dev/null -o LogLevel=ERROR -o ConnectTimeout=10" \
       "-o ControlMaster=auto -o ControlPath=$vm/ssh-%C -o ControlPersist=60s" \
       "-i $vm_cache/$vm_release/id_ed25519"
}

vm_ssh() {
  # shellcheck disable=SC2046
  ssh $(vm_ssh_options) -p "$vm_port" root@127.0.0.1 "$@"
}

vm_wait_ssh() {
  local end=$((SECONDS + $1 * vm_slow))
  while [ "$SECONDS" -lt "$end" ]; do
    vm_ssh -o ControlMaster=no -o ControlPath=none true 2>/dev/null </dev/null && return 0
    vm_running || return 1
    sleep 2
  done
  return 1
}

vm_running() {
  [ -f "$vm/qemu.pid" ] && kill -0 "$(cat "$vm/qemu.pid")" 2>/dev/null
}

vm_monitor() {
  $vm_python "$vm_here/screen.py" "$1" "$vm/qmp.sock" "${@:2}"
}

# The power cord pulled: QEMU ends without a word to the guest.
vm_power_cut() {
  local pid
  [ -f "$vm/qemu.pid" ] || return 0
  pid="$(cat "$vm/qemu.pid")"
  ssh -O exit -o ControlPath="$vm/ssh-%C" -p "$vm_port" root@127.0.0.1 2>/dev/null || true
  vm_monitor quit 2>/dev/null || kill "$pid" 2>/dev/null || true
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -9 "$pid" 2>/dev/null || true
  # Gone, and its port free again, before the power comes back.
  for _ in $(seq 300); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  rm -f "$vm/qemu.pid" "$vm/qmp.sock" "$vm"/ssh-*
}

vm_end() {
  [ -n "$vm" ] || return 0
  vm_power_cut
  rm -rf "$vm"
  vm=""
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -euo pipefail
  case "${1:-}" in bookworm | trixie | bookworm-arm64 | trixie-arm64) ;;
    *) echo "usage: kiosk-vm.sh bookworm|trixie|bookworm-arm64|trixie-arm64" >&2; exit 2 ;; esac
  # shellcheck disable=SC2046
  bash "$vm_here/../../scripts/setup.sh" $(vm_tools "$1") mmdebstrap openssh-client python3-pil >/dev/null
  trap 'tree_release; vm_end' EXIT
  trap 'exit 130' INT TERM
  vm_disk "$1"
  vm_power_on
  vm_wait_ssh 300 || { tail -n 20 "$vm/serial.log" >&2; exit 1; }
  echo "a $1 kiosk-to-be is up; its ssh: ssh $(vm_ssh_options) -p $vm_port root@127.0.0.1"
  echo "an inventory line for it: kiosk: {ansible_host: 127.0.0.1, ansible_port: $vm_port, ansible_user: root," \
       "ansible_ssh_private_key_file: $vm_cache/$1/id_ed25519}"
  echo "its screen: /usr/bin/python3 $vm_here/screen.py shot $vm/qmp.sock screen.png; Ctrl+C ends it"
  while vm_running; do sleep 2; done
fi
