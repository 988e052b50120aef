#!/usr/bin/env bash
# Remakes the README's pictures (docs/editor.png, docs/note.png) from the
# built programs on a virtual screen: the sample that scripts/run.sh shows
# without a display.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
export BUILD_DIR="${BUILD_DIR:-$ROOT/build}"
"$ROOT/scripts/setup.sh"
"$ROOT/scripts/build.sh"
WIN="$BUILD_DIR/$("$ROOT/scripts/wine_arch.sh" build)"
source "$ROOT/scripts/wine_env.sh"
unset DISPLAY
wine_env_start "$BUILD_DIR"
trap 'wine_env_stop "$BUILD_DIR"' EXIT
out="$(mktemp -d)"
chmod 777 "$out"
wine_env_run env TESSARK_WIN_BUILD="$WIN" /usr/bin/python3 "$ROOT/scripts/screenshots.py" "$out"
mkdir -p "$ROOT/docs"
cp "$out"/editor.png "$out"/note.png "$ROOT/docs/"
rm -rf "$out"
ls -la "$ROOT/docs"
