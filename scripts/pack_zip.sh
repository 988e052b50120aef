#!/usr/bin/env bash
# Packs files into a zip that every packer of one commit makes with the same
# bytes: one folder holding the files in the order given, fixed modes (755
# for the folder and programs, 644 for the rest), every time stamp the
# commit's, no extra attributes. The time is SOURCE_DATE_EPOCH, else
# TESSARK_COMMIT_TIME (the test script passes it on; its copy of a clone has
# no repository), else the commit's.
# Usage: pack_zip.sh OUTPUT_ZIP FOLDER FILE...
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
out="$(realpath -m "$1")"; folder="$2"; shift 2
for f in "$@"; do
  [ -f "$f" ] || { echo "missing $f" >&2; exit 1; }
done
stamp="${SOURCE_DATE_EPOCH:-${TESSARK_COMMIT_TIME:-}}"
if [ -z "$stamp" ] && command -v git >/dev/null; then
  # The checkout may belong to another user (the Wine tiers run unprivileged);
  # reading its commit time is harmless.
  stamp="$(git -c safe.directory="$ROOT" -C "$ROOT" log -1 --format=%ct 2>/dev/null)" || stamp=""
fi
[ -n "$stamp" ] || {
  echo "$(basename "$out"): no commit time for the zip's entries (git missing, or not a git checkout):" \
    "install git (scripts/setup.sh does) or set SOURCE_DATE_EPOCH." >&2; exit 1; }
# zip stores local times; one zone for every packer.
export TZ=UTC
rm -f "$out"
stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/$folder"
chmod 755 "$stage/$folder"
entries=("$folder/")
for f in "$@"; do
  name="$folder/$(basename "$f")"
  cp "$f" "$stage/$name"
  case "$name" in *.exe) chmod 755 "$stage/$name" ;; *) chmod 644 "$stage/$name" ;; esac
  touch -d "@$stamp" "$stage/$name"
  entries+=("$name")
done
touch -d "@$stamp" "$stage/$folder"
(cd "$stage" && zip -q -X "$out" "${entries[@]}")
echo "$out"
