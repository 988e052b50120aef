#!/usr/bin/env bash
# Packs a built editor into a zip that runs as it is: Tessark.exe (which
# carries the note program inside) and Readme.txt, side by side.
# Usage: pack_release.sh EDITOR_BUILD_FOLDER OUTPUT_ZIP
set -euo pipefail
src="$1"; out="$2"
for f in Tessark.exe Readme.txt; do
  [ -f "$src/$f" ] || { echo "missing $src/$f" >&2; exit 1; }
done
rm -f "$out"
stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/Tessark"
cp "$src/Tessark.exe" "$src/Readme.txt" "$stage/Tessark/"
(cd "$stage" && zip -q -X -r "$(realpath -m "$out")" Tessark)
echo "$out"
