#!/usr/bin/env bash
# Checks that a release is reproducible: makes the release of one commit
# (default HEAD) and its Windows test bundle twice, with scripts/release.sh
# and scripts/pack_tests.sh, in two fresh clones under folders of different
# names and lengths, and compares the zips. Prints the SHA-256 of the zips and
# of the Tessark.exe in each; exits 0 when both pairs are identical, otherwise
# names the first file that differs, keeps the clones for a look and exits 1.
# Usage: verify_release.sh [COMMIT]
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
commit="$(git -C "$ROOT" rev-parse --verify "${1:-HEAD}^{commit}")"
if [ -z "${1:-}" ] && [ -n "$(git -C "$ROOT" status --porcelain --untracked-files=no)" ]; then
  echo "note: uncommitted changes are not part of the check; it builds $commit" >&2
fi
scratch="$(mktemp -d "${TMPDIR:-/tmp}/tessark-verify.XXXXXX")"
keep=0
trap '[ "$keep" = 1 ] || rm -rf "$scratch"' EXIT

build_release() {  # build_release FOLDER: a clone of the commit with its release made
  local dir="$scratch/$1"
  git clone -q --no-checkout "$ROOT" "$dir"
  git -C "$dir" checkout -q --detach "$commit"
  echo "building the release in $dir" >&2
  # Nothing of this shell's build settings may leak into the clones' builds.
  if ! (unset BUILD_DIR SOURCE_DATE_EPOCH; "$dir/scripts/release.sh" && "$dir/scripts/pack_tests.sh") \
       >"$scratch/$1.log" 2>&1; then
    keep=1; tail -30 "$scratch/$1.log" >&2
    echo "the release build in $dir failed (log: $scratch/$1.log)" >&2; exit 2
  fi
}

build_release one
build_release second-clone
echo "commit $commit"
# compare_zips NAME: 0 when the two clones' build/NAME are the same bytes;
# otherwise says where they differ first.
compare_zips() {
  local a="$scratch/one/build/$1" b="$scratch/second-clone/build/$1" name
  for z in "$a" "$b"; do
    echo "$(sha256sum <"$z" | cut -d' ' -f1)  $z"
    echo "$(unzip -p "$z" '*/Tessark.exe' | sha256sum | cut -d' ' -f1)  Tessark.exe in it"
  done
  if cmp -s "$a" "$b"; then
    echo "identical: the two $1 are the same bytes"
    return 0
  fi
  echo "DIFFERENT: the two $1 are not the same bytes (clones kept in $scratch)"
  if [ "$(zipinfo -1 "$a")" != "$(zipinfo -1 "$b")" ]; then
    echo "the zips hold different entries or orders:"; diff <(zipinfo -1 "$a") <(zipinfo -1 "$b") || true
    return 1
  fi
  # In entry order, the first entry whose bytes or whose time stamp, mode and
  # sizes differ.
  while IFS= read -r name; do
    if ! cmp -s <(unzip -p "$a" "$name") <(unzip -p "$b" "$name"); then
      echo "first differing file: $name ($(cmp <(unzip -p "$a" "$name") <(unzip -p "$b" "$name") | sed 's/.*differ: //'))"
      return 1
    fi
    if [ "$(zipinfo -l -T "$a" "$name")" != "$(zipinfo -l -T "$b" "$name")" ]; then
      echo "first differing file: $name (same bytes, different entry: time stamp, mode or sizes)"
      zipinfo -l -T "$a" "$name"; zipinfo -l -T "$b" "$name"
      return 1
    fi
  done < <(zipinfo -1 "$a")
  echo "every entry is the same; the zips differ in their headers ($(cmp "$a" "$b" | sed 's/.*differ: //'))"
  return 1
}

status=0
compare_zips Tessark.zip || status=1
compare_zips TessarkTests.zip || status=1
[ "$status" = 0 ] || keep=1
exit "$status"
