#!/usr/bin/env bash
# The whole test suite, then the Debian package built, checked by lintian
# and installed with apt, in a clean tree of another Debian release made
# with mmdebstrap, as on a machine of that release (package.sh --dist runs it):
#
#   bash scripts/in-release.sh trixie    -> build/package/trixie/plimbo-shop_<version>+trixie_<arch>.deb
#
# The release's packages come from the Debian mirror this machine's apt
# uses. The package's version carries the release's name, so one apt
# repository can hold a build for each release. Needs root (chroot, mounts).
set -euo pipefail
dist="$1"
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh" mmdebstrap
source "$root/scripts/debian-tree.sh"
work="$root/build/release/$dist"
tree="$work/tree"
trap tree_release EXIT
tree_remove "$work"
mkdir -p "$work"
echo "== a clean $dist tree (mmdebstrap; its log: $tree.log)"
tree_make "$dist" "$tree"

# The tree as it stands, tracked and new files alike, without build output.
mkdir -p "$tree/src"
(cd "$root" && git ls-files -z --cached --others --exclude-standard | xargs -0 cp --parents -t "$tree/src")
sed -i "1s/(\([^)]*\))/(\1+$dist)/" "$tree/src/debian/changelog"

echo "== the tests and the package, in $dist"
chroot "$tree" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 CI="${CI:-}" \
  PLIMBO_PACKAGE_SUBDIR="$dist" bash -c 'cd /src && bash scripts/test.sh && bash scripts/package.sh --install'
mkdir -p "$root/build/package/$dist"
cp "$tree/src/build/package/$dist"/plimbo-shop_*.deb "$root/build/package/$dist/"
tree_release
tree_remove "$tree"
echo "Built and tested in $dist: $(ls "$root/build/package/$dist"/*.deb)"
