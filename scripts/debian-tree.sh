# Clean trees of a Debian release, made with mmdebstrap from the Debian
# mirror this machine's apt uses, to build, test or try a kiosk in. Sourced
# (needs root):
#
#   tree_make RELEASE DIR [PACKAGE,...] [ARCH]
#                                         make the tree (of ARCH's packages, else this
#                                         machine's), with /proc, /sys and /dev bound in
#   tree_mount DIR                        bind /proc, /sys and /dev into a tree made otherwise (a copy)
#   tree_mirror                           the Debian mirror this machine's apt uses
#   tree_bind FOLDER DIR/PATH [ro|rbind]  bind a folder of this machine into a tree
#   tree_emulate ARCH                     let this machine run ARCH's programs (arm64) through
#                                         Debian's qemu-user-static; says in one line why not
#   tree_release                          unbind all that was bound, undo tree_emulate
#                                         (call it from your EXIT trap)
#   tree_remove DIR                       unbind what an earlier run left bound below DIR, then remove DIR
#                                         (never while anything is still mounted below it)

tree_mounts=()
tree_emulation=()

tree_bind() {
  mkdir -p "$2"
  if [ "${3:-}" = rbind ]; then mount --rbind "$1" "$2"; else mount --bind "$1" "$2"; fi || return 1
  tree_mounts+=("$2")
  [ "${3:-}" != ro ] || mount -o remount,bind,ro "$2"
}

tree_mirror() {
  local mirror
  mirror="$(awk '/^URIs:/ {print $2; exit}' /etc/apt/sources.list.d/debian.sources 2>/dev/null || true)"
  [ -n "$mirror" ] || mirror="$(awk '/^deb / {print $2; exit}' /etc/apt/sources.list 2>/dev/null || true)"
  echo "$mirror"
}

tree_make() {
  local release="$1" dir="$2" include="${3:-ca-certificates}" arch="${4:-}" mirror
  mirror="$(tree_mirror)"
  if ! mmdebstrap --variant=apt ${arch:+--architectures="$arch"} --include="$include" "$release" "$dir" \
      ${mirror:+"$mirror"} >"$dir.log" 2>&1; then
    tail -n 20 "$dir.log" >&2
    echo "no $release tree; mmdebstrap's log: $dir.log" >&2
    return 1
  fi
  tree_mount "$dir"
}

tree_mount() {
  local dir="$1" m
  # The tree is a mount point of its own (a mount namespace inside it, as
  # the kiosk unit's test makes, needs one), private, so that nothing
  # mounted or unmounted in it reaches this machine's own mounts.
  tree_bind "$dir" "$dir" && mount --make-private "$dir" && tree_bind /proc "$dir/proc" || return 1
  # /sys and /dev with what is mounted below them (cgroups, pts, shm), as
  # slaves: they see this machine's mounts, never the other way round.
  for m in sys dev; do
    tree_bind "/$m" "$dir/$m" rbind && mount --make-rslave "$dir/$m" || return 1
  done
}

# The kernel hands ARCH's programs to QEMU (binfmt_misc); the interpreter is
# opened when it is enabled ("fix binary"), so it serves inside trees too.
# Only what this call turned on is turned off again by tree_release.
tree_emulate() {
  local arch="$1" cpu misc=/proc/sys/fs/binfmt_misc
  case "$arch" in arm64) cpu=aarch64 ;; *) cpu="$arch" ;; esac
  if [ ! -e "$misc/register" ]; then
    mount -t binfmt_misc binfmt_misc "$misc" 2>/dev/null ||
      { echo "$arch programs cannot run here: binfmt_misc cannot be mounted on $misc" >&2; return 1; }
    tree_emulation+=(mount)
  fi
  # A failed install is a failure, not a machine that cannot emulate.
  bash "$(dirname "${BASH_SOURCE[0]}")/setup.sh" qemu-user-static binfmt-support >/dev/null ||
    { echo "Debian's qemu-user-static could not be installed" >&2; exit 1; }
  if ! grep -qx enabled "$misc/qemu-$cpu" 2>/dev/null; then
    update-binfmts --enable "qemu-$cpu" && grep -qx enabled "$misc/qemu-$cpu" ||
      { echo "$arch programs cannot run here: qemu-$cpu could not be enabled in binfmt_misc" >&2; return 1; }
    tree_emulation+=("qemu-$cpu")
  fi
}

tree_release() {
  local i
  for ((i = ${#tree_mounts[@]} - 1; i >= 0; i--)); do
    umount -l "${tree_mounts[i]}" 2>/dev/null || true
  done
  tree_mounts=()
  for ((i = ${#tree_emulation[@]} - 1; i >= 0; i--)); do
    case "${tree_emulation[i]}" in
      mount) umount /proc/sys/fs/binfmt_misc 2>/dev/null || true ;;
      *) update-binfmts --disable "${tree_emulation[i]}" 2>/dev/null || true ;;
    esac
  done
  tree_emulation=()
}

tree_remove() {
  local target
  { findmnt -rn -o TARGET | grep -F "$1/" || true; } | sort -r | while read -r target; do
    umount -l "$target" 2>/dev/null || true
  done
  # A folder of this machine bound in from the same file system would be
  # removed with the tree: nothing is removed while anything is mounted below.
  if findmnt -rn -o TARGET | grep -qF "$1/"; then
    echo "$1 is not removed: something is still mounted below it ($(findmnt -rn -o TARGET | grep -F "$1/" | head -n 1))" >&2
    return 1
  fi
  rm -rf --one-file-system "$1"
}
