#!/usr/bin/env bash
# Measures one output of the editor (command to finished note file) against a
# plain copy of the note template, and the start of a note written by the
# editor until its window shows, beside a plain copy of the template.
#   bench/output_bench.sh [RUNS]      (default 20 runs of each)
# Uses BUILD_DIR (default: build) as built by scripts/build.sh. Starts its own
# Xvfb, window manager and Wine prefix unless KEEP_DISPLAY=1 and DISPLAY is set.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
export BUILD_DIR="${BUILD_DIR:-$ROOT/build}"
RUNS="${1:-20}"
WIN="$BUILD_DIR/$("$ROOT/scripts/wine_arch.sh" build)"
EDITOR="$WIN/editor/Tessark.exe"
TEMPLATE="$WIN/note/Vemto Src.exe"
DRIVER="$WIN/tests/e2e/driver.exe"
WINE="$ROOT/scripts/wine"
for f in "$EDITOR" "$TEMPLATE" "$DRIVER"; do
  [ -f "$f" ] || { echo "missing $f: run scripts/build.sh first" >&2; exit 1; }
done

source "$ROOT/scripts/wine_env.sh"
wine_env_start "$BUILD_DIR/bench-env" >/dev/null
trap 'wine_env_stop "$BUILD_DIR/bench-env"' EXIT
WORK="$BUILD_DIR/bench-env/output"
mkdir -p "$WORK"
cp "$EDITOR" "$WORK/Tessark.exe"
[ "$(id -u)" = 0 ] && _switch_user && chown -R "$TESSARK_TEST_USER:" "$WORK"
winpath() { echo "Z:$1" | tr / '\\'; }
drive() { wine_env_run "$WINE" "$DRIVER" "$@"; }

# The editor with its first-run look and the text "Bench note".
wine_env_run "$WINE" "$WORK/Tessark.exe" >/dev/null 2>&1 &
EDITOR_PID=$!
HWND=$(drive find TESSARK_MAIN - 30000)
drive settext "$HWND" 1 "Bench note"
DESKTOP=$(echo "$WINEPREFIX"/drive_c/users/*/Desktop | tr ' ' '\n' | grep -v /Public/ | head -1)
OUTPUT=$(drive outputtime "$HWND" "$(winpath "$TEMPLATE")" "$RUNS")
[ -f "$DESKTOP/Bench note.exe" ] || { echo "the editor wrote no note" >&2; exit 1; }
cp "$TEMPLATE" "$DESKTOP/template copy.exe"
drive post "$HWND" 16 0 0 >/dev/null
wait "$EDITOR_PID" || true

wine_env_run xdotool mousemove 100 100
STARTS=$(drive starttime CONTAINER "$RUNS" "$(winpath "$DESKTOP/Bench note.exe")" \
         "$(winpath "$DESKTOP/template copy.exe")")

echo "note template: $(stat -c %s "$TEMPLATE") bytes; note written: $(stat -c %s "$DESKTOP/Bench note.exe") bytes"
echo "output against a plain copy of the template, $RUNS runs each (ms):"
echo "$OUTPUT"
echo "start to visible window, the note written by the editor and a plain copy of the template,"
echo "taking turns (ms):"
echo "$STARTS"
