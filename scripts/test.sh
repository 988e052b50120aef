#!/usr/bin/env bash
# Builds everything and runs every test tier: native core unit tests, Win32
# tests under Wine, end-to-end tests under Wine and Xvfb, and the Windows test
# bundle (the core's and the Win32 tests) unpacked alone. Ends with the line
# "N passed, N failed" and a non-zero exit on any failure.
# Started as root, the Wine tiers run as the test user (scripts/wine_env.sh).
# When that user cannot reach the clone or BUILD_DIR (a clone in root's home,
# mode 700), everything is built and run in a copy of the clone under
# /var/tmp, and its logs, results and screenshots are copied back to BUILD_DIR.
set -uo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
export BUILD_DIR="${BUILD_DIR:-$ROOT/build}"
mkdir -p "$BUILD_DIR"
BUILD_DIR="$(cd "$BUILD_DIR" && pwd)"
start=$(date +%s)

"$ROOT/scripts/setup.sh" || { echo "0 passed, 1 failed"; exit 1; }
echo "setup: $(( $(date +%s) - start )) s"

source "$ROOT/scripts/wine_env.sh"

# A folder of the test user's copy, the same for every run from this clone
# (so that its builds are incremental); it must be root's own, not planted.
staging_dir() {
  local dir
  dir="/var/tmp/tessark-test-$(printf '%s' "$ROOT" | sha256sum | cut -c1-12)"
  mkdir -p -m 755 "$dir" && [ ! -L "$dir" ] && [ -O "$dir" ] && chmod 755 "$dir" && echo "$dir"
}

# The source tree as it is now, uncommitted changes included, without builds
# or the repository; times are kept, so unchanged files are not rebuilt.
copy_sources() {  # copy_sources TARGET
  local excludes=(--exclude=./.git --exclude=./build --exclude='./build-*' --exclude='*/__pycache__')
  case "$BUILD_DIR" in "$ROOT"/*) excludes+=(--exclude="./${BUILD_DIR#"$ROOT"/}") ;; esac
  rm -rf "$1.new" && mkdir "$1.new" &&
    tar -C "$ROOT" --anchored "${excludes[@]}" -cf - . | tar -C "$1.new" --no-same-owner -xf - &&
    chmod -R a+rX,go-w "$1.new" && rm -rf "$1" && mv "$1.new" "$1"
}

copy_results_back() {  # copy_results_back FROM_BUILD_DIR
  local tree
  cp "$1"/*.log "$BUILD_DIR/" 2>/dev/null
  for tree in native plain fuzz win win64 bundle; do
    [ -d "$1/$tree" ] || continue
    mkdir -p "$BUILD_DIR/$tree"
    rm -rf "$BUILD_DIR/$tree/results" "$BUILD_DIR/$tree/shots"
    cp -r "$1/$tree/results" "$BUILD_DIR/$tree/" 2>/dev/null
    cp -r "$1/$tree/shots" "$BUILD_DIR/$tree/" 2>/dev/null
  done
  return 0
}

if [ -z "${TESSARK_STAGED_FROM:-}" ] && ! wine_env_reaches "$ROOT" "$(dirname "$BUILD_DIR")"; then
  stage="$(staging_dir)" || {
    echo "test: /var/tmp/tessark-test-* is not root's own folder: remove it, or run from a clone that" \
      "$TESSARK_TEST_USER can reach"; echo "0 passed, 1 failed"; exit 1; }
  copy_sources "$stage/src" || {
    echo "test: could not copy $ROOT to $stage/src: check the free space in /var/tmp"
    echo "0 passed, 1 failed"; exit 1; }
  echo "test: the test user $TESSARK_TEST_USER cannot reach $ROOT, so the build and the tests run in" \
    "a copy, $stage; logs, results and screenshots are copied back to $BUILD_DIR"
  if command -v git >/dev/null; then
    # The copy has no repository; the release test packs at the commit's time.
    TESSARK_COMMIT_TIME="$(git -c safe.directory="$ROOT" -C "$ROOT" log -1 --format=%ct 2>/dev/null)" &&
      export TESSARK_COMMIT_TIME || unset TESSARK_COMMIT_TIME
  fi
  TESSARK_STAGED_FROM="$ROOT" BUILD_DIR="$stage/build" "$stage/src/scripts/test.sh"
  code=$?
  copy_results_back "$stage/build"
  exit $code
fi

"$ROOT/scripts/build.sh" || { echo "build failed"; echo "0 passed, 1 failed"; exit 1; }
echo "build: $(( $(date +%s) - start )) s"

# The Wine tiers run the build that this machine's Wine can execute.
WIN="$BUILD_DIR/$("$ROOT/scripts/wine_arch.sh" build)"
RESULTS=("$BUILD_DIR/native/results" "$BUILD_DIR/plain/results" "$BUILD_DIR/fuzz/results" "$WIN/results"
  "$BUILD_DIR/bundle/results")
rm -rf "${RESULTS[@]}"
mkdir -p "${RESULTS[@]}"

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

# The Windows test bundle, unpacked alone in the Wine prefix's drive C: (no
# build tree beside it) and run by its own runner. Its results folder gets a
# ctest.xml with one entry per program, from the runner's lines
# "NAME: N passed, N failed[, N skipped] (exit code N)"; a runner that did not
# end with its summary line is one failure more.
run_bundle() {
  local out="$BUILD_DIR/bundle/results" zip dir="$WINEPREFIX/drive_c/tessark-bundle" code
  rm -rf "$dir"
  {
    # Its whole output (path, then SHA-256) into the log: a reader that stops
    # early would fail the packer on a closed pipe.
    zip="$("$ROOT/scripts/pack_tests.sh" "$WIN")" && echo "$zip" && zip="${zip%%$'\n'*}" &&
      wine_env_run mkdir "$dir" && wine_env_run unzip -q "$zip" -d "$dir" &&
      (cd "$dir" && wine_env_run "$ROOT/scripts/wine" cmd /c 'TessarkTests\run_tests.cmd' 'C:\tessark-bundle\results')
  } >"$BUILD_DIR/bundle-test.log" 2>&1 </dev/null
  code=$?
  cp "$dir"/results/* "$out/" 2>/dev/null
  {
    echo '<testsuite name="bundle">'
    tr -d '\r' <"$BUILD_DIR/bundle-test.log" |
      sed -n 's/^\([A-Za-z0-9_]*\): [0-9]* passed, \([0-9]*\) failed\(, [0-9]* skipped\)\{0,1\} (exit code \([0-9-]*\))$/\1 \2 \4/p' |
      while read -r name failed exit_code; do
        if [ "$failed" = 0 ] && [ "$exit_code" = 0 ]; then status=run; else status=fail; fi
        echo "<testcase name=\"$name\" status=\"$status\"/>"
      done
    if [ "$code" != 0 ] && ! tr -d '\r' <"$BUILD_DIR/bundle-test.log" | tail -1 | grep -Eq '^[0-9]+ passed, [1-9][0-9]* failed(, [0-9]+ skipped)?$'; then
      echo '<testcase name="run_tests" status="fail"/>'
    fi
    echo '</testsuite>'
  } >"$out/ctest.xml"
}

# Tiers 2 and 3: Win32 tests and end-to-end tests under Wine; the tests of
# the bundle run from the bundle.
# fontconfig dates its caches by SOURCE_DATE_EPOCH when that is set, and then
# finds them stale: every Wine process would scan the fonts again, a second
# or more per start, and notes that close themselves could close unseen.
if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
  export TESSARK_COMMIT_TIME="$SOURCE_DATE_EPOCH"
  unset SOURCE_DATE_EPOCH
fi
trap 'wine_env_stop "$BUILD_DIR"' EXIT
if wine_env_start "$BUILD_DIR"; then
  echo "wine ready: $(( $(date +%s) - start )) s"
  (cd "$WIN" && wine_env_run ctest --output-on-failure --timeout 600 --output-junit results/ctest.xml -LE bundle \
    ${CTEST_ARGS:-}) >"$BUILD_DIR/win-test.log" 2>&1
  echo "wine tests: $(( $(date +%s) - start )) s"
  run_bundle
  echo "test bundle: $(tr -d '\r' <"$BUILD_DIR/bundle-test.log" | tail -1) ($(( $(date +%s) - start )) s)"
else
  # wine_env_start has said what failed; the Wine tiers count as one failure.
  echo '<testsuite name="wine"><testcase name="wine_setup" status="fail"><failure/></testcase></testsuite>' \
    >"$WIN/results/ctest.xml"
fi

if [ "$(basename "$WIN")" = win ]; then
  echo "wine tiers ran: build/win (32-bit, the shipped programs)"
else
  echo "wine tiers ran: build/win64 (64-bit stand-in: this machine's Wine cannot run 32-bit programs)"
fi
python3 "$ROOT/scripts/summarize.py" "${RESULTS[@]}"
