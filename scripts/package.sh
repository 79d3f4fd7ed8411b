#!/usr/bin/env bash
# Builds the Debian package with Debian's own tools (dpkg-buildpackage,
# debhelper, the CMake build underneath) and checks it:
#
#   bash scripts/package.sh             -> build/package/plimbo-shop_<version>_<arch>.deb
#   bash scripts/package.sh --install   the same, then installs it with apt, checks
#                                       the installed checker, and removes it again
#   bash scripts/package.sh --dist trixie [--no-tests]
#                                       in a clean tree of that Debian release made
#                                       with mmdebstrap: the whole test suite (unless
#                                       --no-tests), then the package built, checked
#                                       and installed there ->
#                                       build/package/<release>/plimbo-shop_<version>+<release>_<arch>.deb
#   bash scripts/package.sh --arch arm64 [--dist trixie] [--no-tests]
#                                       for arm64, cross-built with Debian's cross
#                                       compilers in a clean tree (this machine's
#                                       release unless --dist): the whole test suite run on arm64 under
#                                       emulation (qemu-user-static), the package built and
#                                       checked, then installed and tried with apt in a clean
#                                       arm64 tree (--no-tests: neither; its programs are still
#                                       tried under emulation) ->
#                                       build/package/<release>-arm64/plimbo-shop_<version>_arm64.deb;
#                                       exits 77 where arm64 programs cannot run here
#   bash scripts/package.sh --host-arch arm64
#                                       the package for arm64, cross-built on this machine
#
# It installs the build dependencies it lacks as setup.sh does, builds from a
# copy of the source tree in build/package/ (dpkg-buildpackage writes its
# results beside the tree it builds), and fails unless lintian finds neither
# errors nor warnings and the package's contents pass tests/package/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
install=""
dist=""
arch=""
host_arch=""
no_tests=""
while [ "$#" -gt 0 ]; do
  case "$1" in
    --install) install=yes; shift ;;
    --dist) dist="$2"; shift 2 ;;
    --arch) arch="$2"; shift 2 ;;
    --host-arch) host_arch="$2"; shift 2 ;;
    --no-tests) no_tests=--no-tests; shift ;;
    *) echo "usage: package.sh [--install] [--dist RELEASE] [--arch ARCH] [--no-tests] [--host-arch ARCH]" >&2; exit 2 ;;
  esac
done
if [ -n "$dist" ] || { [ -n "$arch" ] && [ "$arch" != "$(dpkg --print-architecture)" ]; }; then
  exec bash "$root/scripts/in-release.sh" ${arch:+--arch "$arch"} $no_tests \
    "${dist:-$(. /etc/os-release && echo "$VERSION_CODENAME")}"
fi
cd "$root"
build=(-b)
bash "$root/scripts/setup.sh" --packaging ${host_arch:+--host-arch "$host_arch"}
dpkg-checkbuilddeps ${host_arch:+-a "$host_arch"}
if [ -n "$host_arch" ]; then
  # Debian's cross-building: the build dependencies for that architecture,
  # the tools that run them (cmake, moc) for this one. The package never
  # runs its tests while it builds (debian/rules): say so.
  export DEB_BUILD_OPTIONS="nocheck${DEB_BUILD_OPTIONS:+ $DEB_BUILD_OPTIONS}"
  build+=(--host-arch "$host_arch" -Pcross,nocheck)
fi

version="$(dpkg-parsechangelog -S Version)"
out="$root/build/package${PLIMBO_PACKAGE_SUBDIR:+/$PLIMBO_PACKAGE_SUBDIR}"
tree="$out/plimbo-shop-$version"
# Only this build's output goes: builds for other releases sit beside it.
mkdir -p "$out"
rm -rf "$tree" "$out"/plimbo-shop[_-]* "$out"/build.log
mkdir -p "$tree"
# The tree as it stands, tracked and new files alike, without build output.
if git rev-parse --git-dir >/dev/null 2>&1; then
  git ls-files -z --cached --others --exclude-standard | xargs -0 cp --parents -t "$tree"
else
  find . -path ./build -prune -o -type f -print0 | xargs -0 cp --parents -t "$tree"
fi
echo "== dpkg-buildpackage (its log: $out/build.log)"
if ! (cd "$tree" && dpkg-buildpackage -us -uc "${build[@]}") >"$out/build.log" 2>&1; then
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
if [ -n "$install" ]; then
  echo "== installed with apt, then removed"
  bash "$root/tests/package/install_remove.sh" "$deb" "$root/sample"
fi
echo "The package is $deb"
