#!/usr/bin/env bash
# Installs what building and running the shop needs, from Debian's packages,
# and any further packages named on the command line.
# Safe to run again: it installs only what is missing.
#   setup.sh [--packaging] [--host-arch ARCH] [PACKAGE...]
# With --host-arch (arm64), also Debian's cross compilers for ARCH and the
# libraries below for ARCH, beside this machine's, to build for ARCH and run
# the tests under emulation; dpkg is told of ARCH first if it must be.
# With --packaging, only what building and checking the Debian package needs
# (for ARCH with --host-arch): Debian's packaging tools, lintian, the checks
# of its menu and software-centre entries, and its build dependencies.
set -euo pipefail
host_arch=""
packaging=""
while [ "$#" -gt 0 ]; do
  case "$1" in
    --host-arch) host_arch="$2"; shift 2 ;;
    --packaging) packaging=yes; shift ;;
    *) break ;;
  esac
done
root="$(cd "$(dirname "$0")/.." && pwd)"

libraries=(
  qt6-base-dev libgl-dev      # Qt 6 Widgets, Qt Test and the OpenGL headers Qt's CMake files ask for
  qt6-base-private-dev        # the tests turn accessibility on as a screen reader does
  qt6-qpa-plugins             # the X11 platform, for the tests on a real X server
  libx11-dev libxss-dev       # the kiosk session's idle time, from the X server's screen-saver extension
)
packages=(
  cmake ninja-build g++ pkg-config
  "${libraries[@]}"
  fonts-comic-neue            # stands in for "Comic Sans MS"
  fonts-liberation2           # stands in for "MS Sans Serif"
  fonts-dejavu-core
  desktop-file-utils appstream # check the menu entry and the software-centre entry in the tests
  groff-base man-db           # render the manual pages in the tests
  xvfb xauth openbox x11-utils # a real X server, window manager and xprop/xwininfo for the window tests
  x11-xserver-utils           # xsetroot, for the kiosk session's background
  xdotool procps              # the kiosk tests click as a customer does and find the shop's process
  systemd util-linux          # the kiosk unit's test runs a real systemd user manager in a namespace
  x11vnc novnc websockify     # show the shop in a web browser where there is no display
  iproute2 curl               # ss and an HTTP client, for that and its test
  chromium python3-websocket  # a real browser, driven through its DevTools protocol, for the browser view's tests
  orca python3-pyatspi at-spi2-core dbus-bin # a real screen reader on the accessibility bus, for what a blind customer hears
  "$@"
)
if [ -n "$packaging" ]; then
  packages=(build-essential dpkg-dev debhelper lintian desktop-file-utils appstream "$@")
  [ -z "$host_arch" ] || packages+=(crossbuild-essential-"$host_arch")
elif [ -n "$host_arch" ]; then
  packages+=(crossbuild-essential-"$host_arch" "${libraries[@]/%/:$host_arch}")
fi
build_deps_met() { [ -z "$packaging" ] || (cd "$root" && dpkg-checkbuilddeps ${host_arch:+-a "$host_arch"} 2>/dev/null); }

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ] || ! build_deps_met; then
  echo "Installing: ${missing[*]:-(the build dependencies)}"
  if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
  # Another of our scripts may be installing at the same moment (CI runs the
  # virtual kiosk beside the other checks), or the system's own daily apt
  # run: one at a time (apt's lists folder, root's, is the lock among ours;
  # apt waits for its own), or apt refuses at once. Never a question to
  # answer while others wait.
  apt_get=(env DEBIAN_FRONTEND=noninteractive flock -w 900 /var/lib/apt/lists
           apt-get -o DPkg::Lock::Timeout=600)
  if [ -n "$host_arch" ] && ! dpkg --print-foreign-architectures | grep -qx "$host_arch"; then
    $SUDO dpkg --add-architecture "$host_arch"
  fi
  $SUDO "${apt_get[@]}" update -qq
  [ "${#missing[@]}" -eq 0 ] || $SUDO "${apt_get[@]}" install -y -qq --no-install-recommends "${missing[@]}"
  build_deps_met || $SUDO "${apt_get[@]}" build-dep -y -qq --no-install-recommends ${host_arch:+--host-architecture "$host_arch"} "$root"
fi
