#!/usr/bin/env bash
# Builds the Debian package (scripts/package.sh) and checks it as a user
# meets it: unpacked with dpkg -x into a temporary root and run from there
# (so the programs find their data from their own place) by a user with a
# fresh home and no WEBHOARD_HOME:
#   - webhoard --version names the package's version;
#   - webhoard archive of the bundled Navigator sample makes an archive with
#     the packaged index icons;
#   - man -l renders the packaged manual page, without warnings;
#   - nothing was written outside the home and the archive: the unpacked
#     package, the working folder and the sample cache are as they were.
#
#   scripts/test-package.sh [-jN]     (passed on to package.sh)
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
deb=$(bash "$here/scripts/package.sh" "$@" | tail -n 1)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root=$work/root
home=$work/home
archive=$work/archive
mkdir -p "$home" "$work/cwd"
dpkg -x "$deb" "$root"

failures=0
fail() {
  echo "test-package.sh: FAILED: $*" >&2
  failures=$((failures + 1))
}

# Every file and folder below a folder, with its size and change time.
listing() { (cd "$1" && find . -printf '%p %y %s %T@\n' | LC_ALL=C sort); }

# The packaged program with nothing of this machine's user: a fresh home,
# XDG folders inside it, no WEBHOARD_HOME or WEBHOARD_CONFIG_DIR.
webhoard() {
  (cd "$work/cwd" && env -i PATH=/usr/bin:/bin LANG=C.UTF-8 HOME="$home" \
    XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
    XDG_CACHE_HOME="$home/.cache" "$root/usr/bin/webhoard" "$@")
}

root_before=$(listing "$root")
samples_before=$(listing "$here/samples")

version=$(dpkg-deb -f "$deb" Version)
said=$(webhoard --version) || fail "webhoard --version: status $?"
[ "$said" = "webhoard $version" ] || fail "webhoard --version said \"$said\", not \"webhoard $version\""

if webhoard archive --netscape "$here/samples/netscape/FAT.DB" --to "$archive" --yes \
  >"$work/archive.out" 2>"$work/archive.err"; then
  [ -f "$archive/1st_page.htm" ] || fail "archive: no index page $archive/1st_page.htm"
  grep -qx "$archive/1st_page.htm" "$work/archive.out" ||
    fail "archive: the index page's path was not printed: $(cat "$work/archive.out")"
  cmp -s "$archive/images/text.gif" "$root/usr/share/webhoard/images/text.gif" ||
    fail "archive: the packaged index icons were not copied into the archive"
else
  fail "webhoard archive: status $?: $(cat "$work/archive.err")"
fi

manual=$(find "$root/usr/share/man/man1" -name 'webhoard.1*' 2>/dev/null | head -n 1 || true)
if [ -z "$manual" ]; then
  echo "test-package.sh: skipped: the package holds no manual page usr/share/man/man1/webhoard.1"
else
  warnings=$(MANWIDTH=80 man --warnings -l "$manual" 2>&1 >/dev/null) || fail "man -l $manual: status $?"
  [ -z "$warnings" ] || fail "man -l $manual warns: $warnings"
  MANWIDTH=80 man -l "$manual" 2>/dev/null | grep -q webhoard || fail "man -l $manual shows nothing"
fi

[ "$(listing "$root")" = "$root_before" ] || {
  fail "files of the unpacked package changed:"
  diff <(echo "$root_before") <(listing "$root") >&2 || true
}
[ "$(listing "$here/samples")" = "$samples_before" ] || fail "the sample cache changed"
[ -z "$(ls -A "$work/cwd")" ] || fail "files were written in the working folder: $(ls -A "$work/cwd")"
unexpected=$(ls -A "$work" | grep -vxE 'root|home|archive|cwd|archive\.(out|err)' || true)
[ -z "$unexpected" ] || fail "files were written beside the home and the archive: $unexpected"

if [ "$failures" -ne 0 ]; then
  echo "test-package.sh: $failures check(s) failed for $deb" >&2
  exit 1
fi
echo "test-package.sh: $deb passed"
