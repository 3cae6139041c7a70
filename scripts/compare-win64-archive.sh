#!/usr/bin/env bash
# Archives the bundled Navigator sample cache (samples/netscape/FAT.DB and
# the cached files beside it) twice, with the Linux webhoard and with the
# Windows webhoard.exe under Wine, each into a fresh empty archive folder
# with settings of its own, and checks that both archives are the same: the
# same relative file names and the same bytes in every file.
#
#   scripts/compare-win64-archive.sh [LINUX_BUILD_DIR] [WIN64_BUILD_DIR]
#
# The build folders default to build and build-win64 (scripts/build-win64.sh)
# of this checkout. Exits 0 when the archives agree, 1 listing every file
# that differs or exists on one side only, 2 when an archive run fails.
#
# Both runs write the detailed index pages (--detailed yes). Two things are
# set aside before comparing. First the day of the run, which is nothing
# read from the cache: the date after "Index created - " in the generated
# index pages (the archive root's *.htm and each site's *_index.htm), replaced
# by DATE with sed on both sides. Nothing else there is touched, and the
# catalogue archive.dat must match byte for byte: it keeps each item's own
# date from the cache, not the day of the run.
#
# Second, the index icons' mixed-case second copies
# ("images/Tarnlogo.gif" beside "images/tarnlogo.gif", which the pages name
# both ways). The archive writes them only where the file system tells case
# apart; Windows programs, Wine's included even on a Linux folder, see the
# lower-case file under either spelling, so the Windows archive has one file
# where Linux has two. A name only the Linux archive has counts as such a
# twin when its lower-case spelling is in both archives with the same bytes.
#
# Wine runs in a fresh temporary prefix (WINEDEBUG=-all, no display), which
# is removed with its wineserver at exit; Linux paths reach webhoard.exe as
# Z:\ paths.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
case "${1:-}" in
  -h|--help) sed -n '2,32p' "$0"; exit 0 ;;
esac
absolute() { case "$1" in /*) echo "$1" ;; *) echo "$here/$1" ;; esac; }
linux_build=$(absolute "${1:-build}")
win64_build=$(absolute "${2:-build-win64}")
sample="$here/samples/netscape/FAT.DB"

fail() { echo "compare-win64-archive.sh: $*" >&2; exit 2; }
[ -x "$linux_build/webhoard" ] || fail "$linux_build/webhoard is not built"
[ -f "$win64_build/webhoard.exe" ] || fail "$win64_build/webhoard.exe is not built"
wine=$(command -v wine64 || true)
[ -n "$wine" ] || { [ -x /usr/lib/wine/wine64 ] && wine=/usr/lib/wine/wine64; }
[ -n "$wine" ] || fail "wine64 is missing (apt-get install wine wine64)"
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)

work=$(mktemp -d "${TMPDIR:-/tmp}/webhoard-compare.XXXXXX")
export WINEPREFIX="$work/wine" WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mshtml=d;mscoree=d"
unset DISPLAY WAYLAND_DISPLAY
cleanup() {
  "$wineserver" -k >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

# A Linux path as Wine's drive Z: names it.
windows_path() { local path=$1; printf 'Z:%s' "${path//\//\\}"; }

# Runs one archive run; on failure shows what it said and stops.
archive() {
  local side=$1
  shift
  if ! "$@" >"$work/$side.out" 2>"$work/$side.err" </dev/null; then
    echo "compare-win64-archive.sh: the $side archive run failed:" >&2
    cat "$work/$side.out" "$work/$side.err" >&2
    exit 2
  fi
}

mkdir -p "$work/linux" "$work/windows" "$work/config" "$WINEPREFIX"
echo "Archiving $sample with $linux_build/webhoard"
archive linux env WEBHOARD_CONFIG_DIR="$work/config" "$linux_build/webhoard" archive \
  --netscape "$sample" --to "$work/linux" --detailed yes --yes
echo "Archiving it with $win64_build/webhoard.exe under Wine"
"$wine" wineboot --init >/dev/null 2>&1 || true
"$wineserver" -w >/dev/null 2>&1 || true
archive windows "$wine" "$win64_build/webhoard.exe" archive \
  --netscape "$(windows_path "$sample")" --to "$(windows_path "$work/windows")" --detailed yes --yes

# The day of the run, on both sides alike, in the generated index pages only
# (the archive root's pages and each site's *_index.htm), not in the copies.
for side in linux windows; do
  {
    find "$work/$side" -maxdepth 1 -type f -name '*.htm'
    find "$work/$side" -mindepth 2 -maxdepth 2 -type f -name '*_index.htm'
  } | while read -r page; do sed -i -E 's|(Index created - )[^<]*|\1DATE|' "$page"; done
done

cd "$work"
find linux -mindepth 1 -printf '%P\n' | LC_ALL=C sort >linux.files
find windows -mindepth 1 -printf '%P\n' | LC_ALL=C sort >windows.files

# A name only the Linux archive has is a case twin when its lower-case
# spelling is in both archives and holds the same bytes on Linux.
case_twin() {
  local lower
  lower=$(printf '%s' "$1" | tr 'A-Z' 'a-z')
  [ "$lower" != "$1" ] && grep -qxF "$lower" windows.files && cmp -s "linux/$1" "linux/$lower"
}
twins=() linux_only=() windows_only=() differing=()
while read -r name; do
  if case_twin "$name"; then twins+=("$name"); else linux_only+=("$name"); fi
done < <(LC_ALL=C comm -23 linux.files windows.files)
mapfile -t windows_only < <(LC_ALL=C comm -13 linux.files windows.files)
compared=0
while read -r name; do
  [ -f "linux/$name" ] || continue
  compared=$((compared + 1))
  cmp -s "linux/$name" "windows/$name" || differing+=("$name")
done < <(LC_ALL=C comm -12 linux.files windows.files)

for name in "${linux_only[@]}"; do echo "Only in linux: $name"; done
for name in "${windows_only[@]}"; do echo "Only in windows: $name"; done
for name in "${differing[@]}"; do
  echo "Files linux/$name and windows/$name differ"
  diff -u "linux/$name" "windows/$name" | sed -n '3,22p' | sed 's/\r$/\\r/' || true
done
echo
echo "compare-win64-archive.sh: $compared files compared, ${#differing[@]} differ," \
  "${#linux_only[@]} only in the Linux archive, ${#windows_only[@]} only in the Windows one" \
  "(${#twins[@]} case twins of the index icons and the run date set aside)"
if [ $((${#differing[@]} + ${#linux_only[@]} + ${#windows_only[@]})) -ne 0 ]; then
  echo "compare-win64-archive.sh: the archives differ"
  exit 1
fi
echo "compare-win64-archive.sh: the archives agree"
