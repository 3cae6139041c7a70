#!/usr/bin/env bash
# Runs the Windows test programs of build-win64/ (scripts/build-win64.sh)
# under Wine, each in turn, in a fresh Wine prefix that is removed
# afterwards, without a display, and prints ctest-like totals. Exits
# non-zero when a program fails. Run as root, it installs Wine with apt when
# it is missing.
#
#   scripts/test-win64.sh [--timeout SECONDS] [NAME...]
#
# NAME picks test programs by name (common_tests, FuzzSmoke names without
# the suffix are not accepted: give the program, e.g. mime_type_fuzz_smoke).
# Each program's whole output is kept in build-win64/test-win64-logs/.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir="$here/build-win64"
timeout_seconds=900
names=()
while [ $# -gt 0 ]; do
  case "$1" in
    --timeout) timeout_seconds=$2; shift ;;
    -h|--help) sed -n '2,13p' "$0"; exit 0 ;;
    -*) echo "test-win64.sh: unknown option $1" >&2; exit 1 ;;
    *) names+=("$1") ;;
  esac
  shift
done

find_wine() {
  wine=$(command -v wine64 || true)
  [ -n "$wine" ] || { [ -x /usr/lib/wine/wine64 ] && wine=/usr/lib/wine/wine64; } || true
}
find_wine
if [ -z "$wine" ] && [ "$(id -u)" -eq 0 ]; then
  echo "test-win64.sh: installing wine and wine64"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends wine wine64
  find_wine
fi
if [ -z "$wine" ]; then
  echo "test-win64.sh: wine64 is missing (run as root, or: sudo apt-get install wine wine64)" >&2
  exit 1
fi
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)

programs=()
if [ ${#names[@]} -ne 0 ]; then
  for name in "${names[@]}"; do programs+=("$build_dir/${name%.exe}.exe"); done
else
  mapfile -t programs < <(find "$build_dir" -maxdepth 1 \( -name '*_tests.exe' -o -name '*_smoke.exe' \) | sort)
fi
if [ ${#programs[@]} -eq 0 ]; then
  echo "test-win64.sh: no test programs in $build_dir (run scripts/build-win64.sh)" >&2
  exit 1
fi
for program in "${programs[@]}"; do
  [ -f "$program" ] || { echo "test-win64.sh: $program is not built" >&2; exit 1; }
done

WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/webhoard-wine.XXXXXX")
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d;mshtml=d;mscoree=d"
export WEBHOARD_TEST=1
unset DISPLAY WAYLAND_DISPLAY
cleanup() {
  "$wineserver" -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
}
trap cleanup EXIT

echo "test-win64.sh: preparing the Wine prefix $WINEPREFIX"
"$wine" wineboot --init >/dev/null 2>&1 || true
"$wineserver" -w >/dev/null 2>&1 || true
# One server for the whole run: a server that ends a few seconds after its
# last program can be ending just as the next one connects, and that program
# then dies with "wine client error ... Connection reset by peer".
"$wineserver" -p >/dev/null 2>&1 || true

logs="$build_dir/test-win64-logs"
rm -rf "$logs"
mkdir -p "$logs"
cd "$build_dir"

count=${#programs[@]}
passed=0
failed=()
cases_passed=0 cases_failed=0 cases_skipped=0
started=$SECONDS
n=0
for program in "${programs[@]}"; do
  n=$((n + 1))
  name=$(basename "$program" .exe)
  log="$logs/$name.log"
  begin=$SECONDS
  status=0
  timeout --kill-after=10 "$timeout_seconds" "$wine" "$program" >"$log" 2>&1 </dev/null || status=$?
  seconds=$((SECONDS - begin))
  # GoogleTest's closing lines; a fuzz smoke program prints none.
  ok=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?.*/\1/p' "$log" | tail -1)
  bad=$(sed -n 's/^\[  FAILED  \] \([0-9]*\) tests\?, listed below.*/\1/p' "$log" | tail -1)
  skipped=$(sed -n 's/^\[  SKIPPED \] \([0-9]*\) tests\?, listed below.*/\1/p' "$log" | tail -1)
  cases_passed=$((cases_passed + ${ok:-0}))
  cases_failed=$((cases_failed + ${bad:-0}))
  cases_skipped=$((cases_skipped + ${skipped:-0}))
  if [ "$status" -eq 0 ]; then
    result=Passed
    passed=$((passed + 1))
  else
    result="***Failed (exit $status)"
    [ "$status" -eq 124 ] && result="***Timeout"
    failed+=("$name")
  fi
  printf '%3d/%d Test #%d: %-36s %s  %ds\n' "$n" "$count" "$n" "$name" "$result" "$seconds"
  if [ "$status" -ne 0 ]; then
    tr -d '\r' <"$log" | grep -E '^\[  FAILED  \] [A-Za-z_0-9/.]+$' |
      sed 's/^\[  FAILED  \]/        failed:/' || true
  fi
done

percent=$((passed * 100 / count))
echo
echo "$percent% tests passed, ${#failed[@]} tests failed out of $count"
echo "Test cases: $cases_passed passed, $cases_failed failed, $cases_skipped skipped"
echo "Total Test time (real) = $((SECONDS - started)) sec"
if [ ${#failed[@]} -ne 0 ]; then
  echo
  echo "The following tests FAILED (logs in $logs):"
  for name in "${failed[@]}"; do echo "        $name"; done
  exit 1
fi
