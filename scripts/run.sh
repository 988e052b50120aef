#!/usr/bin/env bash
# Builds Tessark and runs the editor under Wine. On a machine with a display
# it opens there and this script waits until it is closed; without one it
# starts a virtual screen, saves a screenshot of the running editor in the
# build folder, prints its path and ends.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
export BUILD_DIR="${BUILD_DIR:-$ROOT/build}"
"$ROOT/scripts/setup.sh"
"$ROOT/scripts/build.sh"

WIN="$BUILD_DIR/$("$ROOT/scripts/wine_arch.sh" build)"
PROGRAM="$WIN/editor/Tessark.exe"
[ -f "$PROGRAM" ] || PROGRAM="$(ls "$WIN"/note/*.exe | head -1)"  # before the editor existed

source "$ROOT/scripts/wine_env.sh"
export TESSARK_SWITCH_USER=0  # runs as whoever called it, in a prefix of its own
if [ -n "${DISPLAY:-}" ] && [ "${CI:-}" != true ]; then
  KEEP_DISPLAY=1 wine_env_start "$BUILD_DIR/run"
  trap 'wine_env_stop "$BUILD_DIR/run"' EXIT
  "$ROOT/scripts/wine" "$PROGRAM"
  exit 0
fi

unset DISPLAY
wine_env_start "$BUILD_DIR/run"
trap 'wine_env_stop "$BUILD_DIR/run"' EXIT
(cd "$(dirname "$PROGRAM")" && "$ROOT/scripts/wine" "$PROGRAM" >/dev/null 2>&1 &)
shot="$BUILD_DIR/screenshot-editor.png"
# Wait for the window to be drawn before taking the picture.
for _ in $(seq 1 100); do
  if xdotool search --name 'Tessark|Vemto' >/dev/null 2>&1; then break; fi
  sleep 0.2
done
sleep 2
xwd -root -silent | /usr/bin/convert xwd:- "$shot"
echo "The editor is running on a virtual screen; screenshot: $shot"
