#!/usr/bin/env bash
# Builds everything and runs every test tier: native core unit tests, Win32
# tests under Wine, end-to-end tests under Wine and Xvfb. Ends with the line
# "N passed, N failed" and a non-zero exit on any failure.
set -uo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
export BUILD_DIR="${BUILD_DIR:-$ROOT/build}"
mkdir -p "$BUILD_DIR"
start=$(date +%s)

"$ROOT/scripts/setup.sh" || { echo "0 passed, 1 failed"; exit 1; }
echo "setup: $(( $(date +%s) - start )) s"
"$ROOT/scripts/build.sh" || { echo "build failed"; echo "0 passed, 1 failed"; exit 1; }
echo "build: $(( $(date +%s) - start )) s"

# The Wine tiers run the build that this machine's Wine can execute.
WIN="$BUILD_DIR/$("$ROOT/scripts/wine_arch.sh" build)"
rm -rf "$BUILD_DIR/native/results" "$BUILD_DIR/plain/results" "$BUILD_DIR/fuzz/results" "$WIN/results"
mkdir -p "$BUILD_DIR/native/results" "$BUILD_DIR/plain/results" "$BUILD_DIR/fuzz/results" "$WIN/results"

# Tier 1: the portable core, natively with sanitizers.
(cd "$BUILD_DIR/native" && ctest --output-on-failure --output-junit results/ctest.xml ${CTEST_ARGS:-}) \
  >"$BUILD_DIR/native-test.log" 2>&1
# The same tests without sanitizers, under Valgrind.
(cd "$BUILD_DIR/plain" && ctest --output-on-failure -R valgrind --output-junit results/ctest.xml) \
  >"$BUILD_DIR/plain-test.log" 2>&1
# Each fuzz target runs a few seconds from its seeds (bench/fuzz.sh runs longer).
(cd "$BUILD_DIR/fuzz" && ctest --output-on-failure --output-junit results/ctest.xml ${CTEST_ARGS:-}) \
  >"$BUILD_DIR/fuzz-test.log" 2>&1
echo "core tests and fuzzing: $(( $(date +%s) - start )) s"

# Tiers 2 and 3: Win32 tests and end-to-end tests under Wine.
source "$ROOT/scripts/wine_env.sh"
wine_env_start "$BUILD_DIR"
trap 'wine_env_stop "$BUILD_DIR"' EXIT
echo "wine ready: $(( $(date +%s) - start )) s"
(cd "$WIN" && wine_env_run ctest --output-on-failure --timeout 600 --output-junit results/ctest.xml ${CTEST_ARGS:-}) \
  >"$BUILD_DIR/win-test.log" 2>&1
echo "wine tests: $(( $(date +%s) - start )) s"

if [ "$(basename "$WIN")" = win ]; then
  echo "wine tiers ran: build/win (32-bit, the shipped programs)"
else
  echo "wine tiers ran: build/win64 (64-bit stand-in: this machine's Wine cannot run 32-bit programs)"
fi
python3 "$ROOT/scripts/summarize.py" "$BUILD_DIR/native/results" "$BUILD_DIR/plain/results" \
  "$BUILD_DIR/fuzz/results" "$WIN/results"
