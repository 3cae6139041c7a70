#!/bin/sh
# Writes the Simple Cache folder tests/data/chromium-simple with Debian's
# own Chromium (run by hand when it needs to change; the result is
# committed, the tests never run a browser):
#
#   tests/interop/make_chromium_simple_cache.sh
#
# Needs chromium and python3. A local server on 127.0.0.1:18765 serves a
# page with one image; headless Chromium with a fresh profile loads it and
# also asks for /favicon.ico (a 404). The cache's files are copied as the
# browser left them. The tests name the URLs, so keep the port.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
target="$source_dir/tests/data/chromium-simple"
work=$(mktemp -d)
server_pid=
trap '[ -n "$server_pid" ] && kill "$server_pid"; rm -rf "$work"' EXIT

mkdir "$work/site"
printf '<html><body>hello <img src="a.gif"></body></html>' > "$work/site/p0.html"
printf 'GIF89a\001\000\001\000\200\000\000\000\000\000\377\377\377!\371\004\001\000\000\000\000,\000\000\000\000\001\000\001\000\000\002\002D\001\000;' \
  > "$work/site/a.gif"
python3 -m http.server 18765 --bind 127.0.0.1 --directory "$work/site" > "$work/server.log" 2>&1 &
server_pid=$!
sleep 1
chromium --headless=new --no-sandbox --disable-gpu --user-data-dir="$work/profile" \
  --virtual-time-budget=3000 --dump-dom http://127.0.0.1:18765/p0.html > /dev/null 2>&1
rm -rf "$target"
cp -r "$work/profile/Default/Cache/Cache_Data" "$target"
chromium --version
ls -l "$target"
