#!/usr/bin/env bash
# Installs what is missing, builds the shop and its tests, and runs every test.
#   bash scripts/test.sh [PRESET]    PRESET: debug (default), asan, or arm64: cross-built
#                                    with Debian's aarch64 compilers, the tests run under
#                                    emulation (QEMU through binfmt_misc; package.sh --arch
#                                    arm64 does it in a clean tree)
set -euo pipefail
preset="${1:-debug}"
root="$(cd "$(dirname "$0")/.." && pwd)"
if [ "$preset" = arm64 ]; then
  bash "$root/scripts/setup.sh" --host-arch arm64
  # Debian's QEMU through binfmt_misc runs them (inside package.sh's tree it
  # is this machine's, already on).
  if ! /lib/ld-linux-aarch64.so.1 --version >/dev/null 2>&1; then
    source "$root/scripts/debian-tree.sh"
    trap tree_release EXIT
    tree_emulate arm64 || true
  fi
  if ! /lib/ld-linux-aarch64.so.1 --version >/dev/null 2>&1; then
    echo "arm64 programs cannot run here (no QEMU for them in binfmt_misc): the arm64 tests are skipped"
    exit 77
  fi
else
  bash "$root/scripts/setup.sh"
fi
cd "$root"
cmake --preset "$preset"
cmake --build --preset "$preset"
ctest --preset "$preset"
