#!/usr/bin/env bash
# Packs a built editor into a zip that runs as it is: Tessark.exe (which
# carries the note program inside) and Readme.txt, side by side in the folder
# Tessark, packed by scripts/pack_zip.sh (the same files give the same bytes).
# Usage: pack_release.sh EDITOR_BUILD_FOLDER OUTPUT_ZIP
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
exec "$ROOT/scripts/pack_zip.sh" "$2" Tessark "$1/Readme.txt" "$1/Tessark.exe"
