#!/usr/bin/env bash
# Installs what building and testing need on Debian 12 and 13, only when
# missing. Quiet when everything is there; works as root or through sudo.
# Every program that the scripts and tests call comes from a package named
# here, never from another package's recommendation. A failure ends with one
# line "setup: ... failed ...: what to do" and a non-zero exit.
# It also installs the CI workflow linter from the npm registry into
# BUILD_DIR/tools (default build/tools), once: later runs need no network.
# With --build-only it installs only what building the 32-bit tree and
# packing the release zip and the Windows test bundle need (scripts/release.sh):
# no Wine, X server, test tools or linter.
# Usage: setup.sh [--build-only]
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"

build_only=0
case "$*" in
  "") ;;
  --build-only) build_only=1 ;;
  *) echo "usage: scripts/setup.sh [--build-only]" >&2; exit 2 ;;
esac

# Building the 32-bit tree (its test programs too: the bundle holds them) and
# packing the zips.
PACKAGES=(cmake make g++ googletest g++-mingw-w64-i686 zip unzip git python3)
# What the scripts run, checked once the packages are in.
PROGRAMS=(cmake make c++ i686-w64-mingw32-g++-posix zip unzip zipinfo git /usr/bin/python3)
if [ "$build_only" = 0 ]; then
  PACKAGES+=(g++-mingw-w64-x86-64 wine wine32 wine64 xvfb openbox xcompmgr xserver-xorg-core
             xserver-xorg-video-dummy xdotool x11-apps x11-utils imagemagick fonts-ipafont-gothic clang
             libclang-rt-dev valgrind e2fsprogs util-linux passwd nodejs npm)
  PROGRAMS+=(ctest x86_64-w64-mingw32-g++-posix clang clang++ valgrind wineserver Xvfb /usr/lib/xorg/Xorg
             openbox xcompmgr xdotool xwd xwininfo /usr/bin/convert chattr setpriv useradd node npm)
fi
# The workflow linter (pure JavaScript and WebAssembly: it runs offline).
LINTER_PACKAGES=(@action-validator/cli@0.6.0 @action-validator/core@0.6.0)
LINTER_DIR="${BUILD_DIR:-$ROOT/build}/tools/workflow-linter"
# apt-get update is tried again after these pauses (about two minutes in
# all) while an index cannot be fetched.
UPDATE_PAUSES=(20 40 60)

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
  i386=0
  case " ${missing[*]} " in *":i386 "*) i386=1 ;; esac
  by_hand="apt-get update && apt-get install ${missing[*]}"
  if [ "$i386" = 1 ]; then by_hand="dpkg --add-architecture i386 && $by_hand"; fi
  if [ -n "$SUDO" ] && ! command -v sudo >/dev/null; then
    fail "${missing[*]} missing and no sudo" "run scripts/setup.sh as root, or install them as root: $by_hand"
  fi
  echo "setup: installing ${missing[*]}" >&2
  advice="run it as root with a working Debian mirror in /etc/apt/sources.list*, or install by hand: $by_hand"
  log="$(mktemp)"
  trap 'rm -f "$log"' EXIT
  quietly() { "$@" >"$log" 2>&1 </dev/null; }  # its output in $log
  apt_reason() {  # apt's own reason for the failure logged in $log
    grep -m1 -E '^E:' "$log" || grep -v '^\s*$' "$log" | tail -1 || true
  }
  unfetched() {  # the first index that the apt-get update logged in $log could not fetch, and why
    sed -n 's/^[WE]: Failed to fetch \([^ ]*\) *\(.*\)$/\1 (\2)/p' "$log" | head -1
  }
  if [ "$i386" = 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    code=0; quietly $SUDO dpkg --add-architecture i386 || code=$?
    [ "$code" = 0 ] || fail "dpkg --add-architecture i386 failed (exit $code: $(apt_reason))" "$advice"
  fi
  # A mirror in the middle of a sync serves an index that does not match its
  # release file: apt-get update fails on it (or warns and keeps an older
  # one) until the sync ends, minutes later. So it is tried again a few
  # times, then the install is tried with the indexes apt has; only a failed
  # install stops the set-up.
  for pause in "${UPDATE_PAUSES[@]}" last; do
    code=0; quietly $SUDO apt-get update -q || code=$?
    index="$(unfetched)"
    if [ -n "$index" ]; then problem="could not fetch $index"
    elif [ "$code" != 0 ]; then problem="failed (exit $code: $(apt_reason))"
    else problem=""; break
    fi
    if [ "$pause" = last ]; then
      echo "setup: apt-get update still $problem; installing from the indexes apt has" >&2
    else
      echo "setup: apt-get update $problem; trying again in $pause s" >&2
      sleep "$pause"
    fi
  done
  code=0; quietly $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}" || code=$?
  if [ "$code" != 0 ] && [ -n "$problem" ]; then
    fail "apt-get install failed (exit $code: $(apt_reason)) after apt-get update $problem" \
      "wait until the mirror has that index again (a mirror sync can take minutes) and run it again, or $advice"
  elif [ "$code" != 0 ]; then
    fail "apt-get install failed (exit $code: $(apt_reason))" "$advice"
  fi
fi

absent=()
for program in "${PROGRAMS[@]}"; do
  command -v "$program" >/dev/null || absent+=("$program")
done
if [ ${#absent[@]} -gt 0 ]; then
  fail "${absent[*]} not found although their packages are installed" \
    "find the package that has them (dpkg -S, apt-file) and add it to scripts/setup.sh"
fi

# The linter checks the workflow, which no build needs.
[ "$build_only" = 0 ] || exit 0

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
