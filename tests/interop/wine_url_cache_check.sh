#!/bin/sh
# Checks by hand (not in CI) that Wine's WinINet still opens a URL cache
# container after Webhoard deleted entries from it, and lists the others.
#
#   tests/interop/wine_url_cache_check.sh BUILD_DIR
#
# Needs wine, wine64 and g++-mingw-w64-x86-64 (apt-get install -y
# --no-install-recommends wine wine64 g++-mingw-w64-x86-64) and a build of
# Webhoard in BUILD_DIR (for libwebhoard_platform.a). Works in a fresh Wine
# prefix in a temporary folder, which it removes at the end.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
build=$(cd "${1:?usage: $0 BUILD_DIR}" && pwd)
shared=${WEBHOARD_SHARED_TESTDATA:-$source_dir/../shared/testdata}
work=$(mktemp -d)
trap 'WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT

export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
x86_64-w64-mingw32-gcc -O1 -Wall -o "$work/list.exe" "$here/wine_cache_list.c" -lwininet
g++ -std=c++20 -I "$source_dir/src" -o "$work/delete_entry" "$here/delete_entry.cpp" \
  "$build/libwebhoard_platform.a" "$build/libwebhoard_common.a"

fail() { echo "FAIL: $*"; exit 1; }
count_of() { sed -n 's/^count \([0-9]*\).*/\1/p' "$1"; }

echo "== a container written by Wine"
wine "$work/list.exe" create >"$work/create.txt" 2>&1 || { cat "$work/create.txt"; fail "create"; }
cat "$work/create.txt"
wineserver -w
container=$(dirname "$(find "$WINEPREFIX/drive_c/users" -path '*INetCache/Content.IE5/index.dat' | head -1)")
[ -d "$container" ] || fail "no Content.IE5 container in the prefix"
echo "container: $container"
wine_list() { wine "$work/list.exe" list 2>&1 | tr -d '\r' >"$1"; }
wine_list "$work/before.txt"; cat "$work/before.txt"
[ "$(count_of "$work/before.txt")" = 4 ] || fail "Wine did not list the 4 committed entries"
wineserver -w
"$work/delete_entry" "$container" "http://example.com/page.html"
wine_list "$work/after.txt"; cat "$work/after.txt"
[ "$(count_of "$work/after.txt")" = 3 ] || fail "Wine does not list the 3 remaining entries"
grep -q "page.html" "$work/after.txt" && fail "the deleted entry is still listed"
[ "$(grep -c ' exists$' "$work/after.txt")" = 3 ] || fail "cached files of other entries are gone"
ls "$container"/*/page* >/dev/null 2>&1 && fail "the deleted entry's cached file is still there"
[ "$(find "$container" -mindepth 2 -type f | wc -l)" = 3 ] || fail "unexpected cached files"
# Wine goes on writing into the changed container (into the freed blocks).
wine "$work/list.exe" create >/dev/null 2>&1 || fail "Wine cannot add entries after the delete"
wine_list "$work/again.txt"
[ "$(count_of "$work/again.txt")" = 4 ] || fail "Wine does not list the re-added entry"
wineserver -w

echo "== a container written by Internet Explorer, read and changed by both"
if [ ! -f "$shared/msie/plaso-Content.IE5-index.dat" ]; then
  echo "SKIPPED: the real sample folder $shared/msie is not there (set WEBHOARD_SHARED_TESTDATA)"
  echo "PASS"
  exit 0
fi
cp "$shared/msie/plaso-Content.IE5-index.dat" "$container/index.dat"
wine_list "$work/ie-before.txt"
before=$(count_of "$work/ie-before.txt")
wineserver -w
"$work/delete_entry" "$container" "http://www.bing.com/favicon.ico"
"$work/delete_entry" "$container" "https://ieonline.microsoft.com/favicon.ico"
wine_list "$work/ie-after.txt"
after=$(count_of "$work/ie-after.txt")
echo "Internet Explorer sample: Wine listed $before entries before, $after after two deletes"
[ "$before" = 21 ] || fail "Wine did not list the IE sample's 21 entries"
[ "$after" = 19 ] || fail "Wine does not list the 19 remaining entries"
grep -q "bing.com/favicon" "$work/ie-after.txt" && fail "a deleted entry is still listed"
head -c 27 "$container/index.dat" | grep -q "Client UrlCache MMF Ver 5.2" || fail "Wine rewrote the index"
echo "PASS"
