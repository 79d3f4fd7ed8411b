#!/usr/bin/env bash
# The whole test suite, then the Debian package built, checked by lintian
# and installed with apt, in a clean tree of a Debian release made with
# mmdebstrap, as on a machine of that release (package.sh --dist and --arch run it):
#
#   bash scripts/in-release.sh [--no-tests] trixie
#                                        -> build/package/trixie/plimbo-shop_<version>+trixie_<arch>.deb
#   bash scripts/in-release.sh --arch arm64 [--no-tests] bookworm
#                                        -> build/package/bookworm-arm64/plimbo-shop_<version>_arm64.deb
#
# For another architecture (arm64) the tree is this machine's, with Debian's
# cross compilers: the tests are cross-built and run under emulation (QEMU
# through binfmt_misc), the package is cross-built; then it is installed,
# tried and removed with apt in a clean tree of that architecture (not with
# --no-tests, the quick form: a clean tree set up a program at a time under
# emulation takes a quarter of an hour; the package's programs are still
# tried under emulation by its contents check). Where its programs cannot
# run here, one line says why and the exit status is 77.
#
# The release's packages come from the Debian mirror this machine's apt
# uses. A package for another release than this machine's carries the
# release's name in its version, so one apt repository can hold a build for
# each release. Needs root (chroot, mounts).
set -euo pipefail
arch="$(dpkg --print-architecture)"
tests=yes
while [ "$#" -gt 1 ]; do
  case "$1" in
    --arch) arch="$2"; shift 2 ;;
    --no-tests) tests=""; shift ;;
    *) break ;;
  esac
done
[ "$#" -eq 1 ] || { echo "usage: in-release.sh [--arch ARCH] [--no-tests] RELEASE" >&2; exit 2; }
dist="$1"
[ "$(id -u)" -eq 0 ] || { echo "in-release.sh makes and enters Debian trees (mmdebstrap, chroot, mounts): run it as root" >&2; exit 1; }
root="$(cd "$(dirname "$0")/.." && pwd)"
here="$(. /etc/os-release && echo "$VERSION_CODENAME")"
bash "$root/scripts/setup.sh" mmdebstrap arch-test
source "$root/scripts/debian-tree.sh"
trap tree_release EXIT
subdir="$dist"
if [ "$arch" != "$(dpkg --print-architecture)" ]; then
  subdir="$dist-$arch"
  tree_emulate "$arch" || exit 77
fi
work="$root/build/release/$subdir"
tree="$work/tree"
tree_remove "$work"
mkdir -p "$work"
echo "== a clean $dist tree (mmdebstrap; its log: $tree.log)"
tree_make "$dist" "$tree"

# The tree as it stands, tracked and new files alike, without build output.
mkdir -p "$tree/src"
(cd "$root" && git ls-files -z --cached --others --exclude-standard | xargs -0 cp --parents -t "$tree/src")
[ "$dist" = "$here" ] || sed -i "1s/(\([^)]*\))/(\1+$dist)/" "$tree/src/debian/changelog"

in_tree() {
  chroot "$tree" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 CI="${CI:-}" \
    PLIMBO_PACKAGE_SUBDIR="$subdir" bash -c "cd /src && $1"
}
if [ "$subdir" = "$dist" ]; then
  echo "== ${tests:+the tests and }the package, in $dist"
  in_tree "${tests:+bash scripts/test.sh && }bash scripts/package.sh --install"
else
  if [ -n "$tests" ]; then
    echo "== the tests, cross-built for $arch and run under emulation, in $dist"
    in_tree "bash scripts/test.sh $arch"
  fi
  echo "== the package, cross-built for $arch, in $dist"
  in_tree "bash scripts/package.sh --host-arch $arch"
fi
mkdir -p "$root/build/package/$subdir"
rm -f "$root/build/package/$subdir"/plimbo-shop_*.deb
cp "$tree/src/build/package/$subdir"/plimbo-shop_*.deb "$root/build/package/$subdir/"
tree_release
tree_remove "$tree"

if [ "$subdir" != "$dist" ] && [ -n "$tests" ]; then
  tree_emulate "$arch" || exit 77
  echo "== installed with apt, tried and removed, in a clean $dist $arch tree (its log: $tree.log)"
  tree_make "$dist" "$tree" ca-certificates "$arch"
  mkdir -p "$tree/src"
  (cd "$root" && cp --parents -t "$tree/src" tests/package/install_remove.sh sample/PlimboPrice.txt)
  cp "$root/build/package/$subdir"/plimbo-shop_*.deb "$tree/src/"
  in_tree 'apt-get update -qq && bash tests/package/install_remove.sh plimbo-shop_*.deb sample'
  tree_release
  tree_remove "$tree"
fi
echo "Built and tested in $dist: $(ls "$root/build/package/$subdir"/*.deb)"
