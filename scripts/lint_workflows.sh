#!/usr/bin/env bash
# Validates every CI workflow file (.github/workflows/*.yml) with the workflow
# linter that scripts/setup.sh installs into BUILD_DIR/tools. A copy of each
# with its "jobs" key misspelt must be refused, so that a linter that passes
# everything cannot pass here. Exit status 0 when every check holds.
set -uo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$ROOT/build}"
cli="$BUILD_DIR/tools/workflow-linter/node_modules/@action-validator/cli/cli.mjs"
[ -f "$cli" ] || { echo "lint: no workflow linter at $cli: run scripts/setup.sh"; exit 1; }
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

status=0 count=0
for workflow in "$ROOT"/.github/workflows/*.yml "$ROOT"/.github/workflows/*.yaml; do
  [ -e "$workflow" ] || continue
  count=$((count + 1))
  if node "$cli" "$workflow"; then
    echo "valid: ${workflow#"$ROOT"/}"
  else
    echo "lint: ${workflow#"$ROOT"/} does not validate (above: what is wrong)"; status=1
  fi
  broken="$scratch/$(basename "$workflow")"
  sed 's/^jobs:/jobz:/' "$workflow" >"$broken"
  if node "$cli" "$broken" >/dev/null 2>&1; then
    echo "lint: the linter accepted a copy of ${workflow#"$ROOT"/} without its jobs"; status=1
  fi
done
[ "$count" -gt 0 ] || { echo "lint: no workflow files in .github/workflows"; exit 1; }
exit "$status"
