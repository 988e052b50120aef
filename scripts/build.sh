#!/usr/bin/env bash
# Builds the native core with its unit tests and the 32-bit Windows programs
# with their tests. BUILD_DIR (default: build) holds both builds.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$ROOT/build}"
JOBS="${JOBS:-$(nproc)}"

cmake -S "$ROOT" -B "$BUILD_DIR/native" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$BUILD_DIR/native" -j "$JOBS" >"$BUILD_DIR/native-build.log" 2>&1 || {
  tail -40 "$BUILD_DIR/native-build.log"; exit 1; }

cmake -S "$ROOT" -B "$BUILD_DIR/win" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" \
      -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD_DIR/win" -j "$JOBS" >"$BUILD_DIR/win-build.log" 2>&1 || {
  tail -40 "$BUILD_DIR/win-build.log"; exit 1; }
