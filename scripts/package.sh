#!/usr/bin/env bash
# Builds the Debian package of Webhoard and prints its path.
#
#   scripts/package.sh [-jN]      (default: as many jobs as processors)
#
# A Release build in build-package/ (the desktop programs included when Qt 6
# is installed), then `cpack -G DEB`, which takes the package's library
# dependencies from dpkg-shlibdeps. Run as root the first time, so the tools
# it needs can be installed with apt (scripts/install-deps.sh --package).
# Install the result with: apt install ./build-package/webhoard_*.deb
set -euo pipefail

jobs="-j$(nproc 2>/dev/null || echo 2)"
case "${1:-}" in
  -h|--help) sed -n '2,11p' "$0"; exit 0 ;;
  -j*) jobs=$1 ;;
  "") ;;
  *) echo "usage: package.sh [-jN]" >&2; exit 1 ;;
esac

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$here"
bash scripts/install-deps.sh --package >&2

build_dir=build-package
log="$build_dir/package.log"
mkdir -p "$build_dir"
{
  cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DWEBHOARD_TESTS=OFF \
    -DCMAKE_INSTALL_PREFIX=/usr &&
    cmake --build "$build_dir" "$jobs" &&
    rm -f "$build_dir"/webhoard_*.deb &&
    (cd "$build_dir" && cpack -G DEB)
} >"$log" 2>&1 || {
  cat "$log" >&2
  echo "package.sh: the package was not made (the output above is in $log)" >&2
  exit 1
}

debs=("$here/$build_dir"/webhoard_*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
  echo "package.sh: cpack made no single webhoard_*.deb in $build_dir (see $log)" >&2
  exit 1
fi
echo "${debs[0]}"
