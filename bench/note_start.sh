#!/usr/bin/env bash
# Measures how long a note takes from its start to its window, beside the
# minimal Win32 program, under Wine and Xvfb; prints the template's size too.
#   bench/note_start.sh [RUNS]      (default 10 runs of each program)
# Uses BUILD_DIR (default: build) as built by scripts/build.sh. Starts its own
# Xvfb, window manager and Wine prefix unless KEEP_DISPLAY=1 and DISPLAY is set.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
export BUILD_DIR="${BUILD_DIR:-$ROOT/build}"
RUNS="${1:-10}"
WIN="$BUILD_DIR/$("$ROOT/scripts/wine_arch.sh" build)"
TEMPLATE32="$BUILD_DIR/win/note/Vemto Src.exe"
NOTE="$WIN/note/Vemto Src.exe"
BASELINE="$WIN/bench/bench_baseline.exe"
DRIVER="$WIN/tests/e2e/driver.exe"
WINE="$ROOT/scripts/wine"
for f in "$NOTE" "$BASELINE" "$DRIVER"; do
  [ -f "$f" ] || { echo "missing $f: run scripts/build.sh first" >&2; exit 1; }
done

source "$ROOT/scripts/wine_env.sh"
wine_env_start "$BUILD_DIR/bench-env" >/dev/null
trap 'wine_env_stop "$BUILD_DIR/bench-env"' EXIT
WORK="$BUILD_DIR/bench-env/notes"
mkdir -p "$WORK"
[ "$(id -u)" = 0 ] && chown "$TESSARK_TEST_USER:" "$WORK"
cp "$NOTE" "$WORK/bench note.exe"
cp "$BASELINE" "$WORK/baseline.exe"

# One start: launch, wait for the window through the driver, close it, wait
# for the process. Prints the milliseconds until the window was found.
start_once() {  # start_once EXE CLASS
  local t0 t1 pid hwnd
  t0=$(date +%s%N)
  wine_env_run "$WINE" "$1" >/dev/null 2>&1 &
  pid=$!
  hwnd=$(wine_env_run "$WINE" "$DRIVER" find "$2" - 30000)
  t1=$(date +%s%N)
  wine_env_run "$WINE" "$DRIVER" post "$hwnd" 16 0 0 >/dev/null
  wait "$pid" || true
  echo $(( (t1 - t0) / 1000000 ))
}

median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : int((a[NR/2] + a[NR/2+1]) / 2)}'; }

wine_env_run xdotool mousemove 100 100
start_once "$WORK/baseline.exe" TESSARK_BASELINE >/dev/null  # warm Wine's caches once
note=() base=()
for ((i = 0; i < RUNS; i++)); do
  base+=("$(start_once "$WORK/baseline.exe" TESSARK_BASELINE)")
  note+=("$(start_once "$WORK/bench note.exe" VEMTO_SRC_MAIN)")
done
[ -f "$TEMPLATE32" ] && echo "note template (32-bit): $(stat -c %s "$TEMPLATE32") bytes (limit 24576)"
echo "note build run here: $(stat -c %s "$NOTE") bytes; baseline: $(stat -c %s "$BASELINE") bytes"
echo "start to window, median of $RUNS (ms): baseline $(printf '%s\n' "${base[@]}" | median)," \
     "note $(printf '%s\n' "${note[@]}" | median)"
echo "baseline runs: ${base[*]}"
echo "note runs:     ${note[*]}"
