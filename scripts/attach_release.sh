#!/usr/bin/env bash
# Publishes Tessark.zip, TessarkTests.zip and SHA256SUMS from FOLDER as the
# hosting platform's release of TAG, which must already be pushed. The zips
# are checked against SHA256SUMS first, so only the sums published beside
# them go up.
#   No release of TAG yet: one call creates it with its three files
#   (`gh release create --verify-tag` uploads to a draft and publishes it at
#   the end), so a repository whose releases are immutable never has it
#   published without them.
#   A draft release of TAG: its files of these names are replaced; it stays
#   a draft for whoever made it to publish.
#   A published release of TAG: left alone (it may be immutable). Exit 0 when
#   it already carries these very zips (its SHA256SUMS is this one), else 1.
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
python3 "$ROOT/scripts/check_bundle.py" "$2/SHA256SUMS" "$scratch/unpacked" "$2/Tessark.zip" "$2/TessarkTests.zip"

# gh finds draft releases by their tag too.
if state="$(gh release view "$tag" --json isDraft --jq 'if .isDraft then "draft" else "published" end' \
              2>"$scratch/view.log")"; then
  :
elif grep -q "release not found" "$scratch/view.log"; then
  state=none
else
  echo "attach: gh release view $tag failed: $(head -1 "$scratch/view.log")" >&2
  exit 1
fi

case "$state" in
  none)
    gh release create "$tag" "${files[@]}" --verify-tag --title "Tessark $tag" \
      --notes "Tessark.zip: unpack it into a folder you may write to and run Tessark\\Tessark.exe. TessarkTests.zip: the Windows test bundle. SHA256SUMS: their SHA-256."
    echo "released $tag with ${files[*]##*/}"
    ;;
  draft)
    gh release upload "$tag" "${files[@]}" --clobber
    echo "the draft release $tag now holds ${files[*]##*/}; it stays a draft:" \
      "publish it with gh release edit $tag --draft=false"
    ;;
  published)
    if gh release download "$tag" --pattern SHA256SUMS --output "$scratch/published-sums" >/dev/null 2>&1 &&
       cmp -s "$scratch/published-sums" "$2/SHA256SUMS"; then
      echo "the release $tag is already published with these zips (the same SHA256SUMS); left as it is"
    else
      echo "attach: the release $tag is already published without these zips (its SHA256SUMS is missing or" \
        "differs); it is left alone, as a published release may be immutable: publish them under a new tag" >&2
      exit 1
    fi
    ;;
esac
