#!/usr/bin/env bash
# Builds Tessark and runs it under Wine, with the Japanese fonts.
#   scripts/run.sh              With a display: the editor; its notes go to your
#                               desktop. Without one (or with CI=true): a sample
#                               note written and shown on a virtual screen, with
#                               a picture of the editor and one of the note.
#   scripts/run.sh FILE         The editor with the note FILE opened to correct it.
#   scripts/run.sh --note FILE  Shows the note FILE and waits until it closes
#                               (without a display: takes its picture, closes it).
# TESSARK_PREBUILT=1 skips set-up and build (the tests run it in their built
# tree); TESSARK_RUN_DIR (default BUILD_DIR/run) holds its prefixes and pictures.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"

usage() { echo "usage: scripts/run.sh [FILE | --note FILE]" >&2; exit 2; }
show_note=0
file=""
case "$#:${1:-}" in
  0:) ;;
  1:-*) usage ;;
  1:*) file="$1" ;;
  2:--note) show_note=1; file="$2" ;;
  *) usage ;;
esac
# Checked before anything is installed, built or started.
if [ -n "$file" ]; then
  [ -f "$file" ] || { echo "run.sh: no such note file: $file" >&2; exit 2; }
  file="$(realpath -s -- "$file")"
fi

export BUILD_DIR="${BUILD_DIR:-$ROOT/build}"
if [ "${TESSARK_PREBUILT:-0}" != 1 ]; then
  "$ROOT/scripts/setup.sh"
  "$ROOT/scripts/build.sh"
fi
WIN="$BUILD_DIR/$("$ROOT/scripts/wine_arch.sh" build)"
RUN_DIR="${TESSARK_RUN_DIR:-$BUILD_DIR/run}"
source "$ROOT/scripts/wine_env.sh"
export TESSARK_SWITCH_USER=0  # runs as whoever called it, in a prefix of its own

user_desktop() {  # the folder that a stock Wine prefix links its desktop to
  local folder=""
  if command -v xdg-user-dir >/dev/null; then folder="$(xdg-user-dir DESKTOP 2>/dev/null || true)"; fi
  if [ -z "$folder" ] || [ "$folder" = "$HOME" ]; then folder="$HOME/Desktop"; fi
  echo "$folder"
}

windows_path() { echo "Z:${1//\//\\}"; }  # Wine maps the Unix root to drive Z:

env_dir=""  # the environment that the exit trap stops
trap '[ -z "$env_dir" ] || wine_env_stop "$env_dir"' EXIT

take_env_dir() {  # the test script hands the build folder to its test user; Wine wants its prefix back
  mkdir -p "$1"
  if [ "$(id -u)" = 0 ] && [ ! -O "$1" ]; then chown -R root: "$1"; fi
}

run_on_display() {
  local desktop
  env_dir="$RUN_DIR/display"
  desktop="$(user_desktop)"
  mkdir -p "$desktop"
  take_env_dir "$env_dir"
  TESSARK_DESKTOP="$desktop" KEEP_DISPLAY=1 wine_env_start "$env_dir"
  if [ "$show_note" = 1 ]; then
    # A note is a layered window, drawn black without a compositor; this one
    # ends at once where the desktop already has its own.
    xcompmgr >"$env_dir/env/xcompmgr.log" 2>&1 &
    echo $! >>"$env_dir/env/pids"
    (cd "$(dirname "$file")" && "$ROOT/scripts/wine" "$file")
    return
  fi
  touch "$env_dir/env/started"
  (cd "$WIN/editor" && "$ROOT/scripts/wine" "$WIN/editor/Tessark.exe" ${file:+"$(windows_path "$file")"})
  echo "Notes are written to your desktop: $desktop"
  local note shown=""
  while IFS= read -r -d '' note; do
    echo "  written now: $note"
    shown="$note"
  done < <(find "$desktop" -maxdepth 1 -name '*.exe' -newer "$env_dir/env/started" -print0)
  echo "Show a note with its Japanese fonts: scripts/run.sh --note \"${shown:-$desktop/NOTE.exe}\""
}

run_on_virtual_screen() {
  env_dir="$RUN_DIR/virtual"
  unset DISPLAY
  take_env_dir "$env_dir"
  wine_env_start "$env_dir"
  local args=()
  if [ "$show_note" = 1 ]; then args=(--note "$file"); elif [ -n "$file" ]; then args=(--open "$file"); fi
  # Through a file, not a pipe: a Wine service may inherit the pipe and keep it open.
  TESSARK_WIN_BUILD="$WIN" /usr/bin/python3 "$ROOT/scripts/screenshots.py" "$RUN_DIR" "${args[@]}" \
    >"$env_dir/env/paths"
  local paths
  mapfile -t paths <"$env_dir/env/paths"
  if [ "$show_note" = 1 ]; then
    echo "No display: the note was shown on a virtual screen and closed with a click."
    echo "  note:      ${paths[0]}"
  elif [ -n "$file" ]; then
    echo "No display: the editor opened the note on a virtual screen."
    echo "  editor:    ${paths[0]}"
  else
    echo "No display: on a virtual screen the editor wrote a sample note (text typed, a style loaded, F3)" \
      "to its desktop folder, and the note was started from there and closed with a click."
    echo "  editor:    ${paths[0]}"
    echo "  note:      ${paths[1]}"
    echo "  note file: ${paths[2]}"
  fi
}

if [ -n "${DISPLAY:-}" ] && [ "${CI:-}" != true ]; then
  run_on_display
else
  run_on_virtual_screen
fi
