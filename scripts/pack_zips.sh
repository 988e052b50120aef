#!/usr/bin/env bash
# Builds the 32-bit tree and packs what a release publishes, running no test:
# build/Tessark.zip (scripts/release.sh, which installs only what building
# needs through scripts/setup.sh --build-only and prints the versions of the
# packages that make the zips), build/TessarkTests.zip (scripts/pack_tests.sh)
# and build/SHA256SUMS, their sums (scripts/check_bundle.py --write).
# With EXPECTED_SUMS, another packer's SHA256SUMS, it fails unless the sums
# are the same: one commit gives the same zips wherever it is packed.
# Usage: pack_zips.sh [EXPECTED_SUMS]
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
export BUILD_DIR="${BUILD_DIR:-$ROOT/build}"
"$ROOT/scripts/release.sh"
"$ROOT/scripts/pack_tests.sh" "$BUILD_DIR/win"
sums="$BUILD_DIR/SHA256SUMS"
python3 "$ROOT/scripts/check_bundle.py" --write "$sums" "$BUILD_DIR/Tessark.zip" "$BUILD_DIR/TessarkTests.zip"
cat "$sums"
[ $# -gt 0 ] || exit 0
if ! diff "$1" "$sums"; then
  echo "pack: these zips differ from the ones of $1 (above: theirs <, these >): the release is not reproducible"
  exit 1
fi
echo "pack: the same zips as $1"
