#!/usr/bin/env bash
# Checks that the Windows build still compiles: every source under src/ that
# is not a *_posix.cpp goes through Debian's mingw-w64 compiler (the posix
# threads variant, which has std::thread and friends) with -fsyntax-only and
# the project's warnings as errors. Prints each failing file with its
# messages and exits non-zero when any fails.
#
#   scripts/check-win32-syntax.sh [-jN]
#
# Run as root, it installs the compiler with apt when it is missing.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$here"

compiler=x86_64-w64-mingw32-g++-posix
package=g++-mingw-w64-x86-64-posix

jobs=$(nproc 2>/dev/null || echo 2)
for arg in "$@"; do
  case "$arg" in
    -j*) jobs=${arg#-j} ;;
    -h|--help) sed -n '2,10p' "$0"; exit 0 ;;
    *) echo "check-win32-syntax.sh: unknown option $arg" >&2; exit 1 ;;
  esac
done

if ! command -v "$compiler" >/dev/null 2>&1; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "check-win32-syntax.sh: $compiler is missing" >&2
    echo "check-win32-syntax.sh: run as root, or: sudo apt-get install $package" >&2
    exit 1
  fi
  echo "check-win32-syntax.sh: installing $package"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "$package"
fi

# The sources a Windows build compiles: the POSIX twins are left out, and
# so is src/gui/ (its toolkit headers are not the cross compiler's).
mapfile -t sources < <(find src -name '*.cpp' ! -name '*_posix.cpp' ! -path 'src/gui/*' | sort)
if [ ${#sources[@]} -eq 0 ]; then
  echo "check-win32-syntax.sh: no sources found under src/" >&2
  exit 1
fi

logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT

check() {
  local source=$1 log
  log="$logs/$(echo "$source" | tr '/' '_').log"
  if ! "$compiler" -std=c++20 -fsyntax-only -Isrc \
       -Wall -Wextra -Wshadow -Wconversion -Werror \
       -DWEBHOARD_VERSION='"check"' "$source" >"$log" 2>&1; then
    echo "FAILED $source"
    cat "$log"
    return 1
  fi
}
export -f check
export compiler logs

if printf '%s\0' "${sources[@]}" | xargs -0 -n 1 -P "$jobs" bash -c 'check "$0"'; then
  echo "check-win32-syntax.sh: ${#sources[@]} sources compile for Windows"
else
  echo "check-win32-syntax.sh: some sources do not compile for Windows (see above)" >&2
  exit 1
fi
