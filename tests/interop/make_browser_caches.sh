#!/bin/sh
# Fills the disk caches of Debian's own Chromium and Firefox ESR from the
# test site in tests/data/browser-site and copies them, as the browsers left
# them, to tests/data/chromium-site (a Simple Cache folder) and
# tests/data/firefox-site (a cache2 folder). Run by hand when they must
# change; the result is committed and the tests never run a browser:
#
#   tests/interop/make_browser_caches.sh
#
# Needs node, chromium, firefox-esr and playwright-core in tests/e2e
# (npm ci there). The site is served on 127.0.0.1:18766; the tests name
# the addresses, so keep the port. Each browser gets a fresh profile and
# visits /index.html, /page2.html?lang=en, /page2.html?lang=fr, /old.html
# (a 301 to /page3.html) and /index.html again, which is revalidated (304).
# Prints the browser versions and every answer the server gave.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
data=$(cd "$here/../data" && pwd)
base=http://127.0.0.1:18766
work=$(mktemp -d)
server_pid=
trap '[ -n "$server_pid" ] && kill "$server_pid"; rm -rf "$work"' EXIT

start_server() {  # log file
  node "$here/serve_browser_site.mjs" 18766 2> "$1" &
  server_pid=$!
  sleep 1
}

stop_server() {
  kill "$server_pid"
  wait "$server_pid" 2> /dev/null || true
  server_pid=
}

# Chromium, through playwright-core, closed cleanly so its cache is flushed.
start_server "$work/chromium.log"
node "$here/browse_with_chromium.mjs" "$base" "$work/chromium-profile" > "$work/chromium-version"
stop_server
rm -rf "$data/chromium-site"
cp -r "$work/chromium-profile/Default/Cache/Cache_Data" "$data/chromium-site"

# Firefox ESR: one headless screenshot run per page, all with one profile.
# The preferences keep the disk cache on at a fixed size, validate pages
# against the server on every visit (so the second /index.html gets 304s)
# and keep the browser from going on line for anything but the site.
mkdir "$work/firefox-profile"
cat > "$work/firefox-profile/user.js" <<'PREFS'
user_pref("browser.cache.disk.enable", true);
user_pref("browser.cache.disk.smart_size.enabled", false);
user_pref("browser.cache.disk.capacity", 1048576);
user_pref("browser.cache.check_doc_frequency", 1);
user_pref("browser.shell.checkDefaultBrowser", false);
user_pref("app.update.enabled", false);
user_pref("datareporting.policy.dataSubmissionEnabled", false);
user_pref("toolkit.telemetry.reportingpolicy.firstRun", false);
user_pref("network.captive-portal-service.enabled", false);
user_pref("network.connectivity-service.enabled", false);
user_pref("browser.safebrowsing.update.enabled", false);
PREFS
start_server "$work/firefox.log"
for page in /index.html '/page2.html?lang=en' '/page2.html?lang=fr' /old.html /index.html; do
  firefox-esr --headless --profile "$work/firefox-profile" --screenshot "$work/page.png" \
    "$base$page" > "$work/firefox-run.log" 2>&1 || { cat "$work/firefox-run.log"; exit 1; }
done
stop_server
rm -rf "$data/firefox-site"
cp -r "$work/firefox-profile/cache2" "$data/firefox-site"

cat "$work/chromium-version"
firefox-esr --version
for browser in chromium firefox; do
  echo "== what the server answered $browser"
  grep -v '^serving' "$work/$browser.log"
done
ls -lR "$data/chromium-site" "$data/firefox-site"
