#!/usr/bin/env bash
# Builds the 32-bit programs and packs the release zip: build/Tessark.zip
# holds the folder Tessark with Tessark.exe and Readme.txt.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
export BUILD_DIR="${BUILD_DIR:-$ROOT/build}"
"$ROOT/scripts/setup.sh"
"$ROOT/scripts/build.sh"
"$ROOT/scripts/pack_release.sh" "$BUILD_DIR/win/editor" "$BUILD_DIR/Tessark.zip"
