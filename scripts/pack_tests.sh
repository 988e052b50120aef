#!/usr/bin/env bash
# Packs the Windows test bundle from a built Windows tree: the folder
# TessarkTests with the shipped Tessark.exe and the note template, the core's
# and the Win32 layer's test programs, menu_hook.dll (the start-up test reads
# the running editor's menu bar through it) and run_tests.cmd, which runs the
# tests on Windows (or under Wine) as they are unpacked. Packed as the release
# is, so one commit gives the same bytes. Prints the zip's path and SHA-256.
# Usage: pack_tests.sh [TREE [OUTPUT_ZIP]]
#   TREE: default build/win (32-bit, the shipped programs); for another tree,
#   such as the 64-bit stand-in build/win64, the zip is TessarkTests-win64.zip.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$ROOT/build}"
tree="${1:-$BUILD_DIR/win}"
tree="$(cd "$tree" && pwd)"
if [ "$(basename "$tree")" = win ]; then name=TessarkTests.zip; else name="TessarkTests-$(basename "$tree").zip"; fi
out="${2:-$(dirname "$tree")/$name}"
# cmd reads a batch file line by line and finds labels reliably only with
# CRLF line ends, whatever the checkout made of them.
stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
sed 's/\r$//; s/$/\r/' "$ROOT/tests/bundle/run_tests.cmd" >"$stage/run_tests.cmd"
zip="$("$ROOT/scripts/pack_zip.sh" "$out" TessarkTests "$stage/run_tests.cmd" \
  "$tree/editor/Tessark.exe" "$tree/note/Vemto Src.exe" \
  "$tree/tests/core/core_tests.exe" "$tree/tests/win32/win32_tests.exe" "$tree/tests/e2e/menu_hook.dll")"
echo "$zip"
echo "SHA-256 $(sha256sum <"$zip" | cut -d' ' -f1)  $(basename "$zip")"
