#!/usr/bin/env bash
# A longer fuzzing run than the test command's: every target for SECONDS
# (default 300) each, keeping its corpus in build/fuzz-corpus between runs.
# Prints one line per target: runs made, corpus size, and whether it found
# anything (a crash file is left in build/fuzz-corpus/NAME/).
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$ROOT/build}"
SECONDS_EACH="${1:-300}"
"$ROOT/scripts/setup.sh"
"$ROOT/scripts/build.sh"
FUZZ="$BUILD_DIR/fuzz/tests/fuzz"
for target in "$FUZZ"/fuzz_*; do
  [ -x "$target" ] || continue
  name="$(basename "$target")"; name="${name#fuzz_}"
  corpus="$BUILD_DIR/fuzz-corpus/$name"
  mkdir -p "$corpus"
  log="$corpus.log"
  if (cd "$corpus" && "$target" -max_total_time="$SECONDS_EACH" -timeout=10 -rss_limit_mb=1024 \
        -print_final_stats=1 "$corpus" "$FUZZ/seeds/$name") >"$log" 2>&1; then
    verdict="nothing found"
  else
    verdict="FOUND A FAULT (see $log)"
  fi
  runs=$(grep -oE 'stat::number_of_executed_units: *[0-9]+' "$log" | grep -oE '[0-9]+$' || echo "?")
  echo "$name: ${SECONDS_EACH} s, $runs runs, $(ls "$corpus" | wc -l) corpus files, $verdict"
done
