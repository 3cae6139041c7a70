#!/usr/bin/env bash
# Installs with apt the Debian 12 packages that building and testing Webhoard
# need, when they are missing. Does nothing when everything is there; needs
# root only when something must be installed.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libbenchmark-dev
  libdb1-compat                      # real Berkeley DB 1.85, writes Navigator index fixtures
  python3 python3-libmsiecf libmsiecf-utils  # independent index.dat reader used as a test oracle
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps.sh: missing packages: ${missing[*]}" >&2
  echo "install-deps.sh: run as root, or: sudo apt-get install ${missing[*]}" >&2
  exit 1
fi

echo "install-deps.sh: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
