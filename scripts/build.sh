#!/usr/bin/env bash
# Builds the native core with its unit tests, its fuzz targets (clang), the
# 32-bit Windows programs with their tests (build/win) and, where this
# machine's Wine runs only 64-bit programs, a 64-bit build of the programs and
# their tests (build/win64) for the Wine test tiers. BUILD_DIR (default:
# build) holds the builds. Naming trees (native plain fuzz win win64) builds
# only those: "build.sh win".
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$ROOT/build}"
JOBS="${JOBS:-$(nproc)}"
ARCH="$("$ROOT/scripts/wine_arch.sh")"

build() {  # build NAME CMAKE_ARGS...
  local name="$1"; shift
  cmake -S "$ROOT" -B "$BUILD_DIR/$name" "$@" >"$BUILD_DIR/$name-configure.log" 2>&1 || {
    tail -40 "$BUILD_DIR/$name-configure.log"; return 1; }
  cmake --build "$BUILD_DIR/$name" -j "$JOBS" >"$BUILD_DIR/$name-build.log" 2>&1 || {
    grep -E "error|Error" "$BUILD_DIR/$name-build.log" | head -40; return 1; }
}

TREES=" ${*:-native plain fuzz win win64} "
wanted() { [[ "$TREES" == *" $1 "* ]]; }

mkdir -p "$BUILD_DIR"
if wanted native; then build native -DCMAKE_BUILD_TYPE=Debug; fi
if wanted plain; then build plain -DCMAKE_BUILD_TYPE=Debug -DTESSARK_SANITIZERS=OFF; fi
if wanted fuzz; then
  build fuzz -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DTESSARK_FUZZ=ON
fi
# The 32-bit tree always builds its test programs, so that a 32-bit-only
# compile or link error fails here even where Wine cannot run them.
if wanted win; then
  build win -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release
fi
if wanted win64 && [ "$ARCH" != i686 ]; then
  build win64 -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release
fi
