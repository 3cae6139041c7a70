#!/usr/bin/env bash
# Runs every libFuzzer target in turn, each for SECONDS (default 60), with the
# libraries instrumented (coverage, AddressSanitizer, UndefinedBehaviorSanitizer).
#
#   scripts/fuzz.sh [SECONDS]
#
# Seeds come from the project's own files (samples/, tests/data/, images/)
# and, where it is beside the checkout, ../shared/testdata; a target with a
# dictionary in fuzz/dicts/NAME.dict gets it. Corpora grow in build-fuzz/corpus/,
# reproducers land in build-fuzz/findings/. Prints one line per target
# (executions, coverage, findings) and exits 1 when anything was found.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$here"
seconds=${1:-60}
case "$seconds" in ''|*[!0-9]*) echo "fuzz.sh: SECONDS must be a whole number" >&2; exit 1 ;; esac

if ! command -v clang++ >/dev/null 2>&1; then
  if [ "$(id -u)" -eq 0 ]; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends clang >/dev/null
  else
    echo "fuzz.sh: clang++ is missing: apt-get install clang" >&2
    exit 1
  fi
fi

build=build-fuzz
CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DWEBHOARD_FUZZ=ON -DWEBHOARD_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)" >/dev/null

shared=${WEBHOARD_SHARED_TESTDATA:-$here/../shared/testdata}

# Seed files for one target, one path per line.
seeds_of() {
  case "$1" in
    navigator_index_fuzz|navigator_cache_folder_fuzz)
      find samples/netscape -name 'FAT*'
      [ -d "$shared/netscape" ] && find "$shared/netscape" -type f -iname 'fat*' ;;
    index_dat_fuzz|url_cache_folder_fuzz)
      find samples tests/data -name index.dat 2>/dev/null
      [ -d "$shared/msie" ] && find "$shared/msie" -type f -name '*.dat' ;;
    image_size_fuzz)
      find images samples -type f \( -name '*.gif' -o -name '*.jpg' -o -name '*.png' \) ;;
    rewrite_page_fuzz|page_search_fuzz)
      find samples -type f -name '*.html' ;;
    *) ;;
  esac 2>/dev/null
  return 0
}

# The dictionary of a target: its own, or that of the format it reads.
dict_of() {
  case "$1" in
    navigator_cache_folder_fuzz) echo fuzz/dicts/navigator_index_fuzz.dict ;;
    url_cache_folder_fuzz) echo fuzz/dicts/index_dat_fuzz.dict ;;
    page_search_fuzz) echo fuzz/dicts/rewrite_page_fuzz.dict ;;
    *) echo "fuzz/dicts/$1.dict" ;;
  esac
}

mkdir -p "$build/corpus" "$build/findings"
status=0
printf '%-28s %10s %8s %8s %s\n' target executions cov ft findings
for target in "$build"/fuzz/*_fuzz; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  corpus="$build/corpus/$name"
  findings="$build/findings/$name"
  mkdir -p "$corpus" "$findings"
  seeds=$(mktemp -d)
  seeds_of "$name" | while IFS= read -r file; do
    [ -f "$file" ] && cp "$file" "$seeds/$(echo "$file" | tr '/' '_')"
  done || true  # a seed folder that is not there is no reason to stop
  options=(-max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$findings/"
           -rss_limit_mb=2048 -timeout=20)
  dict=$(dict_of "$name")
  [ -f "$dict" ] && options+=(-dict="$dict")
  log="$build/findings/$name.log"
  if ! "$target" "${options[@]}" "$corpus" "$seeds" >"$log" 2>&1; then status=1; fi
  rm -rf "$seeds"
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  cov=$(grep -oE 'cov: [0-9]+' "$log" | tail -1 | cut -d' ' -f2 || true)
  ft=$(grep -oE 'ft: [0-9]+' "$log" | tail -1 | cut -d' ' -f2 || true)
  found=$(find "$findings" -maxdepth 1 -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | wc -l)
  [ "$found" -eq 0 ] || status=1
  printf '%-28s %10s %8s %8s %s\n' "$name" "${executions:-?}" "${cov:-?}" "${ft:-?}" "$found"
done
exit $status
