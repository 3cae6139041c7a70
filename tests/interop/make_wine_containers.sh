#!/bin/sh
# Writes the URL cache containers of tests/data/wine-containers with Wine's
# own WinINet (run by hand when they need to change; the results are
# committed, the tests never run Wine):
#
#   tests/interop/make_wine_containers.sh
#
# Needs wine, wine64 and gcc-mingw-w64-x86-64 (apt-get install -y
# --no-install-recommends wine wine64 gcc-mingw-w64-x86-64). Each container is
# written in a fresh Wine prefix in a temporary folder (about 0.7 GB while it
# runs), which is removed at the end. WinINet picks the cache folder and file
# names at random, so the tests that name them follow a regeneration.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
target="$source_dir/tests/data/wine-containers"
work=$(mktemp -d)
trap 'WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT

export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
x86_64-w64-mingw32-gcc -O1 -Wall -o "$work/write.exe" "$here/wine_write_container.c" -lwininet

# Writes container $1 with the program's mode $1 and copies the Content.IE5
# folder (index.dat and the cache folders with their files) into the target.
write_container() {
  name=$1
  wine "$work/write.exe" "$name" | tr -d '\r'
  # The index is written back when the last WinINet user ends.
  wineserver -w
  index=$(find "$WINEPREFIX/drive_c/users" -path '*INetCache/Content.IE5/index.dat' | head -1)
  [ -n "$index" ] || { echo "no Content.IE5 container in the prefix" >&2; exit 1; }
  container=$(dirname "$index")
  rm -rf "${target:?}/$name"
  mkdir -p "$target/$name"
  cp -p "$container/index.dat" "$target/$name/"
  for folder in "$container"/*/; do
    # Folders left empty by a delete are not kept (git keeps no empty folder).
    [ -n "$(ls -A "$folder")" ] || continue
    cp -rp "$folder" "$target/$name/"
  done
  # The next container starts from an empty cache.
  rm -rf "$container"
}

write_container content
write_container leak
( cd "$target" && find . -type f | LC_ALL=C sort | xargs sha256sum )
du -sh "$target"
