#!/usr/bin/env bash
# Installs what building and testing need on Debian 12, only when missing.
# Quiet when everything is there; works as root or through sudo.
set -euo pipefail

PACKAGES=(cmake g++ googletest g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine32 wine64 xvfb openbox xcompmgr
          xserver-xephyr xdotool x11-apps imagemagick fonts-ipafont-gothic clang libclang-rt-14-dev
          valgrind zip unzip python3 xserver-xorg-core xserver-xorg-video-dummy)

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi

missing=()
for p in "${PACKAGES[@]}"; do
  if [ "$p" = wine32 ]; then q="wine32:i386"; else q="$p"; fi
  dpkg-query -W -f='${Status}' "$q" 2>/dev/null | grep -q "install ok installed" || missing+=("$q")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}" >&2
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
