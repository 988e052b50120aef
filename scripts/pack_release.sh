#!/usr/bin/env bash
# Packs a built editor into a zip that runs as it is: Tessark.exe (which
# carries the note program inside) and Readme.txt, side by side.
# The same files give the same zip bytes: fixed entry order and modes, every
# time stamp the commit's (or SOURCE_DATE_EPOCH), no extra attributes.
# Usage: pack_release.sh EDITOR_BUILD_FOLDER OUTPUT_ZIP
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
src="$1"; out="$(realpath -m "$2")"
for f in Tessark.exe Readme.txt; do
  [ -f "$src/$f" ] || { echo "missing $src/$f" >&2; exit 1; }
done
# The time: SOURCE_DATE_EPOCH, else TESSARK_COMMIT_TIME (the test script
# passes it on; its copy of a clone has no repository), else the commit's.
stamp="${SOURCE_DATE_EPOCH:-${TESSARK_COMMIT_TIME:-}}"
if [ -z "$stamp" ] && command -v git >/dev/null; then
  # The checkout may belong to another user (the Wine tiers run unprivileged);
  # reading its commit time is harmless.
  stamp="$(git -c safe.directory="$ROOT" -C "$ROOT" log -1 --format=%ct 2>/dev/null)" || stamp=""
fi
[ -n "$stamp" ] || {
  echo "pack_release.sh: no commit time for the zip's entries (git missing, or not a git checkout):" \
    "install git (scripts/setup.sh does) or set SOURCE_DATE_EPOCH." >&2; exit 1; }
# zip stores local times; one zone for every packer.
export TZ=UTC
rm -f "$out"
stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/Tessark"
cp "$src/Tessark.exe" "$src/Readme.txt" "$stage/Tessark/"
chmod 755 "$stage/Tessark" "$stage/Tessark/Tessark.exe"
chmod 644 "$stage/Tessark/Readme.txt"
touch -d "@$stamp" "$stage/Tessark/Tessark.exe" "$stage/Tessark/Readme.txt" "$stage/Tessark"
(cd "$stage" && zip -q -X "$out" Tessark/ Tessark/Readme.txt Tessark/Tessark.exe)
echo "$out"
