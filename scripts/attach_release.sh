#!/usr/bin/env bash
# Attaches Tessark.zip, TessarkTests.zip and SHA256SUMS from FOLDER to the
# hosting platform's release of TAG, made from the tag when there is none yet;
# files of the same names already attached are replaced. The zips are checked
# against SHA256SUMS first, so only the sums published beside them go up.
# Needs the GitHub command-line client `gh` (Debian package gh) with a token
# allowed to write the repository's contents in GH_TOKEN.
# Usage: attach_release.sh TAG FOLDER
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
[ $# = 2 ] || { echo "usage: attach_release.sh TAG FOLDER" >&2; exit 2; }
tag="$1"
files=("$2/Tessark.zip" "$2/TessarkTests.zip" "$2/SHA256SUMS")
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
python3 "$ROOT/scripts/check_bundle.py" "$2/SHA256SUMS" "$scratch" "$2/Tessark.zip" "$2/TessarkTests.zip"
if ! gh release view "$tag" >/dev/null 2>&1; then
  gh release create "$tag" --verify-tag --title "Tessark $tag" \
    --notes "Tessark.zip: unpack it into a folder you may write to and run Tessark\\Tessark.exe. TessarkTests.zip: the Windows test bundle. SHA256SUMS: their SHA-256."
fi
gh release upload "$tag" "${files[@]}" --clobber
echo "attached to the release $tag: ${files[*]##*/}"
