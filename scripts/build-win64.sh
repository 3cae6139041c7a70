#!/usr/bin/env bash
# Cross-builds the Windows command line and the Windows test programs with
# Debian's mingw-w64 compiler (posix threads, libgcc and libstdc++ linked
# statically) into build-win64/: webhoard.exe and one .exe per test suite,
# GoogleTest built from Debian's sources with the same compiler, zlib linked
# statically. Debian has no brotli for mingw-w64: this build keeps "br"
# bodies as stored. The desktop programs and the tests that need Linux-only
# tools are not built.
#
#   scripts/build-win64.sh [-jN] [TARGET...]
#
# Run as root, it first installs with apt what the build needs and the
# machine lacks. scripts/test-win64.sh runs the tests under Wine.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$here"

build_dir=build-win64
jobs=$(nproc 2>/dev/null || echo 2)
targets=()
for arg in "$@"; do
  case "$arg" in
    -j*) jobs=${arg#-j} ;;
    -h|--help) sed -n '2,13p' "$0"; exit 0 ;;
    -*) echo "build-win64.sh: unknown option $arg" >&2; exit 1 ;;
    *) targets+=("$arg") ;;
  esac
done

missing=()
for p in g++-mingw-w64-x86-64-posix googletest cmake ninja-build libz-mingw-w64-dev; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -ne 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "build-win64.sh: missing packages: ${missing[*]}" >&2
    echo "build-win64.sh: run as root, or: sudo apt-get install ${missing[*]}" >&2
    exit 1
  fi
  echo "build-win64.sh: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

launcher=()
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi

cmake -S . -B "$build_dir" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DWEBHOARD_WERROR=ON \
  -DWEBHOARD_GUI=OFF \
  -DWEBHOARD_DB185_FIXTURES=OFF \
  -DWEBHOARD_TESTS=ON \
  "${launcher[@]}"
if [ ${#targets[@]} -ne 0 ]; then
  cmake --build "$build_dir" -j "$jobs" --target "${targets[@]}"
else
  cmake --build "$build_dir" -j "$jobs"
fi
