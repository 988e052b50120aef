#!/usr/bin/env bash
# Builds the 32-bit programs and packs the release zip: build/Tessark.zip
# holds the folder Tessark with Tessark.exe and Readme.txt. The same commit
# gives the same zip, byte for byte, with the same packages; the script
# prints the versions of those that make it (MinGW-w64, binutils, zip) before
# packing, and then the SHA-256 of the zip and of the Tessark.exe inside it,
# for comparison with a published release. It installs only what building
# needs (scripts/setup.sh --build-only).
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
export BUILD_DIR="${BUILD_DIR:-$ROOT/build}"
"$ROOT/scripts/setup.sh" --build-only
"$ROOT/scripts/build.sh" win
# What turns the sources into the zips' bytes: when two packers' sums differ,
# these lines say whether a package update fell between them.
dpkg-query -W -f='${db:Status-Abbrev} ${Package} ${Version}\n' 'g++-mingw-w64-i686*' 'gcc-mingw-w64-i686*' \
    gcc-mingw-w64-base mingw-w64-common mingw-w64-i686-dev 'binutils-mingw-w64-i686' zip 2>/dev/null |
  sed -n 's/^ii *\([^ ]*\) /package: \1 /p' || true
zip="$("$ROOT/scripts/pack_release.sh" "$BUILD_DIR/win/editor" "$BUILD_DIR/Tessark.zip")"
echo "$zip"
echo "SHA-256 $(sha256sum <"$zip" | cut -d' ' -f1)  Tessark.zip"
echo "SHA-256 $(unzip -p "$zip" Tessark/Tessark.exe | sha256sum | cut -d' ' -f1)  Tessark/Tessark.exe"
