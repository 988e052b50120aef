#!/usr/bin/env bash
# Installs what building and testing need on Debian 12 and 13, only when
# missing. Quiet when everything is there; works as root or through sudo.
# Every program that the scripts and tests call comes from a package named
# here, never from another package's recommendation. A failure ends with one
# line "setup: ... failed ...: what to do" and a non-zero exit.
# It also installs the CI workflow linter from the npm registry into
# BUILD_DIR/tools (default build/tools), once: later runs need no network.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"

PACKAGES=(cmake make g++ googletest g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine32 wine64
          xvfb openbox xcompmgr xserver-xorg-core xserver-xorg-video-dummy
          xdotool x11-apps x11-utils imagemagick fonts-ipafont-gothic clang libclang-rt-dev valgrind
          zip unzip git python3 e2fsprogs util-linux passwd nodejs npm)
# What the scripts and tests run, checked once the packages are in.
PROGRAMS=(cmake ctest make c++ i686-w64-mingw32-g++-posix x86_64-w64-mingw32-g++-posix clang clang++
          valgrind wineserver Xvfb /usr/lib/xorg/Xorg openbox xcompmgr xdotool
          xwd xwininfo /usr/bin/convert zip unzip zipinfo git /usr/bin/python3 chattr setpriv useradd node npm)
# The workflow linter (pure JavaScript and WebAssembly: it runs offline).
LINTER_PACKAGES=(@action-validator/cli@0.6.0 @action-validator/core@0.6.0)
LINTER_DIR="${BUILD_DIR:-$ROOT/build}/tools/workflow-linter"

fail() {  # fail WHAT ADVICE
  echo "setup: $1: $2" >&2
  exit 1
}

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi

# Installed itself, or provided by an installed package: a nodejs built
# elsewhere brings its own npm and conflicts with Debian's.
installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed" ||
    [ -n "$(dpkg-query -W -f='${Status} ${Provides}\n' 2>/dev/null | grep -E "^install ok installed .*[ ,]$1( |,|$)")" ]
}

missing=()
for p in "${PACKAGES[@]}"; do
  if [ "$p" = wine32 ]; then q="wine32:i386"; else q="$p"; fi
  installed "$q" || missing+=("$q")
done

if [ ${#missing[@]} -gt 0 ]; then
  by_hand="dpkg --add-architecture i386 && apt-get update && apt-get install ${missing[*]}"
  if [ -n "$SUDO" ] && ! command -v sudo >/dev/null; then
    fail "${missing[*]} missing and no sudo" "run scripts/setup.sh as root, or install them as root: $by_hand"
  fi
  echo "setup: installing ${missing[*]}" >&2
  log="$(mktemp)"
  fetch_errors="$(mktemp)"
  trap 'rm -f "$log" "$fetch_errors"' EXIT
  step() {  # step NAME COMMAND...: runs COMMAND quietly; on failure, says so with apt's own reason
    local code=0
    "${@:2}" >"$log" 2>&1 </dev/null || code=$?
    # apt-get update ends well even when a mirror cannot be reached; what it
    # could not fetch explains a later "Unable to locate package".
    grep -E '^(Err:|W: Failed to fetch)' "$log" >>"$fetch_errors" || true
    [ "$code" = 0 ] && return 0
    local reason; reason="$(grep -E '^E:' "$log" | head -1 || true)"
    [ -n "$reason" ] || reason="$(grep -v '^\s*$' "$log" | tail -1 || true)"
    if [ -s "$fetch_errors" ]; then reason="$reason; apt could not fetch: $(head -1 "$fetch_errors")"; fi
    fail "$1 failed (exit $code${reason:+: $reason})" \
      "run it as root with a working Debian mirror in /etc/apt/sources.list*, or install by hand: $by_hand"
  }
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    step "dpkg --add-architecture i386" $SUDO dpkg --add-architecture i386
  fi
  step "apt-get update" $SUDO apt-get update -q
  step "apt-get install" $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
fi

absent=()
for program in "${PROGRAMS[@]}"; do
  command -v "$program" >/dev/null || absent+=("$program")
done
if [ ${#absent[@]} -gt 0 ]; then
  fail "${absent[*]} not found although their packages are installed" \
    "find the package that has them (dpkg -S, apt-file) and add it to scripts/setup.sh"
fi

linter_version() {  # the version of the installed linter package named in $1, or nothing
  local name="${1%@*}"
  sed -n 's/^ *"version": *"\(.*\)",*$/\1/p' "$LINTER_DIR/node_modules/$name/package.json" 2>/dev/null | head -1
}
for package in "${LINTER_PACKAGES[@]}"; do
  [ "$(linter_version "$package")" = "${package##*@}" ] && continue
  mkdir -p "$LINTER_DIR"
  # A package.json of its own keeps npm from taking a parent folder's.
  [ -f "$LINTER_DIR/package.json" ] || echo '{"private": true}' >"$LINTER_DIR/package.json"
  echo "setup: installing the workflow linter ${LINTER_PACKAGES[*]} into $LINTER_DIR" >&2
  if ! out="$(cd "$LINTER_DIR" && npm install --no-audit --no-fund --no-update-notifier --save-exact \
                "${LINTER_PACKAGES[@]}" 2>&1)"; then
    reason="$(echo "$out" | grep -m1 -i err || echo "$out" | tail -1)"
    fail "npm install ${LINTER_PACKAGES[*]} failed ($reason)" \
      "check that the npm registry can be reached (npm config get registry), or install them by hand in $LINTER_DIR"
  fi
  break
done
