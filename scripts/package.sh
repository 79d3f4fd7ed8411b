#!/usr/bin/env bash
# Builds the Debian package with Debian's own tools (dpkg-buildpackage,
# debhelper, the CMake build underneath) and checks it:
#
#   bash scripts/package.sh             -> build/package/plimbo-shop_<version>_<arch>.deb
#   bash scripts/package.sh --install   the same, then installs it with apt, checks
#                                       the installed checker, and removes it again
#
# It installs the build dependencies it lacks as setup.sh does, builds from a
# copy of the source tree in build/package/ (dpkg-buildpackage writes its
# results beside the tree it builds), and fails unless lintian finds neither
# errors nor warnings and the package's contents pass tests/package/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh" dpkg-dev debhelper lintian
cd "$root"
dpkg-checkbuilddeps

version="$(dpkg-parsechangelog -S Version)"
out="$root/build/package"
tree="$out/plimbo-shop-$version"
rm -rf "$out"
mkdir -p "$tree"
# The tree as it stands, tracked and new files alike, without build output.
git ls-files -z --cached --others --exclude-standard | xargs -0 cp --parents -t "$tree"
echo "== dpkg-buildpackage (its log: $out/build.log)"
if ! (cd "$tree" && dpkg-buildpackage -us -uc -b) >"$out/build.log" 2>&1; then
  tail -n 40 "$out/build.log" >&2
  echo "the package did not build; the whole log is $out/build.log" >&2
  exit 1
fi
rm -rf "$tree"

deb="$(ls "$out"/plimbo-shop_"$version"_*.deb)"
echo "== lintian"
lintian --fail-on error,warning --display-info "$out"/plimbo-shop_"$version"_*.changes
echo "== the package's contents"
bash "$root/tests/package/contents.sh" "$deb" "$root/sample"
if [ "${1:-}" = --install ]; then
  echo "== installed with apt, then removed"
  bash "$root/tests/package/install_remove.sh" "$deb" "$root/sample"
fi
echo "The package is $deb"
