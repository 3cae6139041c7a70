#!/usr/bin/env bash
# Installs with apt the Debian 12 packages that building and testing Webhoard
# need, when they are missing. Does nothing when everything is there; needs
# root only when something must be installed.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  zlib1g-dev libbrotli-dev           # decoding stored bodies (gzip, deflate, br)
  libz-mingw-w64-dev                 # the same zlib for the Windows build
  libgtest-dev libbenchmark-dev
  libdb1-compat                      # real Berkeley DB 1.85, writes Navigator index fixtures
  python3 python3-libmsiecf libmsiecf-utils  # independent index.dat reader used as a test oracle
  chromium nodejs                    # the browser test opens an archive's index (tests/e2e)
  g++-mingw-w64-x86-64-posix         # checks that the Windows sources compile
  googletest                         # its sources, built by scripts/build-win64.sh for Windows
  wine wine64                        # runs the Windows tests (scripts/test-win64.sh)
  qt6-base-dev                       # the desktop programs (Qt 6 Widgets, Network, Test)
  qt6-qpa-plugins qt6-wayland        # their windows on X11 and Wayland desktops
  xdg-utils                          # xdg-open: pages, help and folders open in the desktop's programs
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

# Debian's nodejs comes without npm; other builds of nodejs bring their own.
if ! command -v npm >/dev/null 2>&1 && \
   ! dpkg-query -W -f='${Status}' npm 2>/dev/null | grep -q "install ok installed"; then
  missing+=(npm)
fi

if [ ${#missing[@]} -ne 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "install-deps.sh: missing packages: ${missing[*]}" >&2
    echo "install-deps.sh: run as root, or: sudo apt-get install ${missing[*]}" >&2
    exit 1
  fi
  echo "install-deps.sh: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The browser test drives Chromium through playwright-core, at the version
# locked in tests/e2e/package-lock.json (no browser download: it uses
# /usr/bin/chromium).
e2e="$(dirname "${BASH_SOURCE[0]}")/../tests/e2e"
if [ ! -d "$e2e/node_modules/playwright-core" ]; then
  (cd "$e2e" && npm ci --no-audit --no-fund)
fi
