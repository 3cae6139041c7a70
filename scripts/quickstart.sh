#!/usr/bin/env bash
# Builds Webhoard and archives the bundled Netscape Navigator sample cache,
# then prints a one-line summary and the path of the archive's index page
# (1st_page.htm) and, when a desktop is there, opens it in the browser.
#
#   scripts/quickstart.sh [ARCHIVE-FOLDER]     (default: ./sample-archive)
#
# On a fresh Debian 12 machine, run as root, it first installs with apt what
# the build lacks. Your own Webhoard settings are left untouched: this run
# keeps its settings in ARCHIVE-FOLDER/.webhoard-settings.
set -euo pipefail

case "${1:-}" in
  -h|--help) sed -n '2,10p' "$0"; exit 0 ;;
esac

archive=${1:-sample-archive}
mkdir -p "$archive"
archive=$(cd "$archive" && pwd)

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$here"

# The program itself needs only a compiler, CMake and Ninja; the rest of what
# install-deps.sh brings serves the tests.
if ! command -v cmake >/dev/null 2>&1 || ! command -v ninja >/dev/null 2>&1 ||
   ! command -v g++ >/dev/null 2>&1; then
  bash scripts/install-deps.sh
fi

build_dir=build-release
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DWEBHOARD_TESTS=OFF >/dev/null
targets=(webhoard)
if [ -d images ]; then targets+=(webhoard_images); fi
cmake --build "$build_dir" --target "${targets[@]}" -j "$(nproc 2>/dev/null || echo 2)" >/dev/null

settings="$archive/.webhoard-settings"
mkdir -p "$settings"
index=$(WEBHOARD_CONFIG_DIR="$settings" \
  "$build_dir/webhoard" archive --netscape samples/netscape/FAT.DB --to "$archive" --yes \
  2>"$settings/quickstart.log") || {
  cat "$settings/quickstart.log" >&2
  exit 1
}
# The summary (items, sites, the archive's size), then where to start reading.
grep ' items archived, ' "$settings/quickstart.log" | tail -n 1
echo "$index"

if { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; } && command -v xdg-open >/dev/null 2>&1; then
  xdg-open "$index" >/dev/null 2>&1 </dev/null &
fi
