#!/usr/bin/env bash
# Builds the 32-bit programs and packs the release zip: build/Tessark.zip
# holds the folder Tessark with Tessark.exe and Readme.txt. The same commit
# gives the same zip, byte for byte; the script prints the SHA-256 of the zip
# and of the Tessark.exe inside it, for comparison with a published release.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
export BUILD_DIR="${BUILD_DIR:-$ROOT/build}"
"$ROOT/scripts/setup.sh"
"$ROOT/scripts/build.sh" win
zip="$("$ROOT/scripts/pack_release.sh" "$BUILD_DIR/win/editor" "$BUILD_DIR/Tessark.zip")"
echo "$zip"
echo "SHA-256 $(sha256sum <"$zip" | cut -d' ' -f1)  Tessark.zip"
echo "SHA-256 $(unzip -p "$zip" Tessark/Tessark.exe | sha256sum | cut -d' ' -f1)  Tessark/Tessark.exe"
