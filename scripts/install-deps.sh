#!/usr/bin/env bash
# Installs with apt the Debian 12 packages that building and testing Webhoard
# need, when they are missing. Does nothing when everything is there; needs
# root only when something must be installed.
#
#   scripts/install-deps.sh            what the build and every test need
#   scripts/install-deps.sh --package  only what building the Debian package
#                                      needs (scripts/package.sh)
set -euo pipefail

build_packages=(
  cmake ninja-build g++ pkg-config
  zlib1g-dev libbrotli-dev           # decoding stored bodies (gzip, deflate, br)
)
package_packages=(
  dpkg-dev                           # dpkg-shlibdeps: the package's library dependencies
  file                               # what CPack asks of the files it strips
  man-db                             # man -l on the packaged manual page (scripts/test-package.sh)
)
test_packages=(
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

case "${1:-}" in
  --package) everything=no; packages=("${build_packages[@]}" "${package_packages[@]}") ;;
  "") everything=yes; packages=("${build_packages[@]}" "${package_packages[@]}" "${test_packages[@]}") ;;
  *) echo "usage: install-deps.sh [--package]" >&2; exit 1 ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

# Debian's nodejs comes without npm; other builds of nodejs bring their own.
if [ "$everything" = yes ] && ! command -v npm >/dev/null 2>&1 && \
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
if [ "$everything" = yes ] && [ ! -d "$e2e/node_modules/playwright-core" ]; then
  (cd "$e2e" && npm ci --no-audit --no-fund)
fi
