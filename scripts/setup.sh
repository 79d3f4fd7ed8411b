#!/usr/bin/env bash
# Installs what building and running the shop needs, from Debian's packages,
# and any further packages named on the command line.
# Safe to run again: it installs only what is missing.
#   setup.sh [--host-arch ARCH] [PACKAGE...]
# With --host-arch (arm64), also Debian's cross compilers for ARCH and the
# libraries below for ARCH, beside this machine's, to build for ARCH and run
# the tests under emulation; dpkg is told of ARCH first if it must be.
set -euo pipefail
host_arch=""
if [ "${1:-}" = --host-arch ]; then
  host_arch="$2"
  shift 2
fi

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
if [ -n "$host_arch" ]; then
  packages+=(crossbuild-essential-"$host_arch" "${libraries[@]/%/:$host_arch}")
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}"
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
  $SUDO "${apt_get[@]}" install -y -qq --no-install-recommends "${missing[@]}"
fi
