#!/usr/bin/env bash
# Runs the test command on another Debian release, as a newcomer there would:
# makes a minimal chroot of RELEASE with debootstrap, clones the current
# commit into root's home in it (/root/tessark; /root is mode 700 there, as
# Debian makes it), runs scripts/test.sh inside, and prints its summary line
# and the time it took. Uncommitted changes are not part of the check.
# Needs root and a Debian mirror (DEBIAN_MIRROR, default the first one this
# machine's apt uses). Takes about as long as the test command on a new
# machine. The chroot lives in /var/tmp/tessark-debian-RELEASE.XXXXXX and is
# removed at the end, unless --keep; the whole output is kept in
# BUILD_DIR/debian-RELEASE.log, and the clone's logs, results and screenshots
# in BUILD_DIR/debian-RELEASE/. CTEST_ARGS, when set, is passed to the test
# command. Exits with the test command's status.
# Usage: check_debian_release.sh [--keep] RELEASE   (bookworm, trixie, 12, 13, ...)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"

usage() { echo "usage: scripts/check_debian_release.sh [--keep] RELEASE   (e.g. trixie or 13)" >&2; exit 2; }
keep=0
if [ "${1:-}" = --keep ]; then keep=1; shift; fi
[ $# = 1 ] || usage
case "$1" in
  11) release=bullseye ;; 12) release=bookworm ;; 13) release=trixie ;; 14) release=forky ;;
  -*|*/*|"") usage ;;
  *) release="$1" ;;
esac
[ "$(id -u)" = 0 ] || { echo "check_debian_release.sh: debootstrap and chroot need root" >&2; exit 2; }

commit="$(git -C "$ROOT" rev-parse --verify HEAD)"
if [ -n "$(git -C "$ROOT" status --porcelain --untracked-files=no)" ]; then
  echo "note: uncommitted changes are not part of the check; it tests $commit" >&2
fi
mirror="${DEBIAN_MIRROR:-}"
if [ -z "$mirror" ]; then
  mirror="$(grep -rhoE '(URIs:|^deb)\s+https?://[^ ]+/debian/?(\s|$)' /etc/apt/sources.list /etc/apt/sources.list.d/ \
    2>/dev/null | grep -oE 'https?://[^ ]+' | head -1 || true)"
  mirror="${mirror:-http://deb.debian.org/debian}"
fi
if ! command -v debootstrap >/dev/null; then
  echo "installing debootstrap" >&2
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q debootstrap >/dev/null || {
    echo "check_debian_release.sh: apt-get install debootstrap failed: install it by hand" >&2; exit 1; }
fi
build_dir="${BUILD_DIR:-$ROOT/build}"
mkdir -p "$build_dir"
log="$build_dir/debian-$release.log"

chroot_dir="$(mktemp -d "/var/tmp/tessark-debian-$release.XXXXXX")"
chmod 755 "$chroot_dir"
mounted=()

mounts_left() { grep -F " $chroot_dir/" /proc/mounts || true; }

save_build_logs() {  # what the test command left in the clone's build folder, kept outside the chroot
  local from="$chroot_dir/root/tessark/build" to="$build_dir/debian-$release" tree
  [ -d "$from" ] || return 0
  rm -rf "$to" && mkdir -p "$to"
  cp "$from"/*.log "$to/" 2>/dev/null || true
  for tree in native plain fuzz win win64; do
    [ -d "$from/$tree" ] || continue
    mkdir -p "$to/$tree"
    cp -r "$from/$tree/results" "$from/$tree/shots" "$to/$tree/" 2>/dev/null || true
  done
}

cleanup() {
  # Whatever still runs in the chroot was started here (an interrupted run).
  local pid pids=()
  for pid in /proc/[0-9]*; do
    [ "$(readlink "$pid/root" 2>/dev/null)" = "$chroot_dir" ] && pids+=("${pid#/proc/}")
  done
  if [ ${#pids[@]} -gt 0 ]; then
    kill "${pids[@]}" 2>/dev/null || true
    sleep 2
    kill -9 "${pids[@]}" 2>/dev/null || true
  fi
  save_build_logs
  local i
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    umount "${mounted[i]}" 2>/dev/null || umount -l "${mounted[i]}" || true
  done
  # The chroot is removed only when nothing of the machine is mounted in it.
  if [ -n "$(mounts_left)" ]; then
    echo "still mounted, so kept: $chroot_dir" >&2
  elif [ "$keep" = 1 ]; then
    echo "chroot kept: $chroot_dir" >&2
  else
    rm -rf --one-file-system "$chroot_dir"
  fi
}
trap cleanup EXIT

bind() {  # bind SOURCE: the machine's SOURCE at the same place in the chroot
  mount --bind "$1" "$chroot_dir$1"
  mounted+=("$chroot_dir$1")
}

started=$(date +%s)
echo "Debian $release: debootstrap --variant=minbase from $mirror into $chroot_dir" >&2
debootstrap --variant=minbase "$release" "$chroot_dir" "$mirror" >"$log" 2>&1 || {
  echo "check_debian_release.sh: debootstrap $release failed: see $log (is $release a Debian release on $mirror?)" >&2
  exit 1; }
mount -t proc proc "$chroot_dir/proc"
mounted+=("$chroot_dir/proc")
bind /dev
bind /dev/pts
bind /dev/shm
bind /sys
cp /etc/resolv.conf "$chroot_dir/etc/resolv.conf"
# Certificate authorities that this machine's administrator added (a proxy's)
# hold in the chroot too: set-up fetches the workflow linter over TLS. The
# chroot's ca-certificates takes them in when set-up installs it.
if compgen -G "/usr/local/share/ca-certificates/*" >/dev/null; then
  mkdir -p "$chroot_dir/usr/local/share/ca-certificates"
  cp -r /usr/local/share/ca-certificates/. "$chroot_dir/usr/local/share/ca-certificates/"
  if [ -x "$chroot_dir/usr/sbin/update-ca-certificates" ]; then
    chroot "$chroot_dir" /usr/sbin/update-ca-certificates >/dev/null 2>&1 || true
  fi
fi

git clone -q --no-checkout "$ROOT" "$chroot_dir/root/tessark"
git -C "$chroot_dir/root/tessark" checkout -q --detach "$commit"
echo "Debian $release: scripts/test.sh in a fresh clone of $commit in /root/tessark" \
  "(/root is mode $(stat -c %a "$chroot_dir/root")); output in $log" >&2

test_started=$(date +%s)
status=0
chroot "$chroot_dir" /usr/bin/env -i HOME=/root USER=root LOGNAME=root LANG=C.UTF-8 TERM=dumb \
  PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin ${CTEST_ARGS:+CTEST_ARGS="$CTEST_ARGS"} \
  /bin/bash -c 'cd /root/tessark && scripts/test.sh' </dev/null 2>&1 | tee -a "$log" || status=$?
ended=$(date +%s)

summary="$(grep -E '^[0-9]+ passed, [0-9]+ failed' "$log" | tail -1 || true)"
minutes() { echo "$(( $1 / 60 )) min $(( $1 % 60 )) s"; }
echo "Debian $release ($(cat "$chroot_dir/etc/debian_version")): ${summary:-no summary line} in" \
  "$(minutes $((ended - test_started))) (test command), $(minutes $((ended - started))) in all;" \
  "logs in $build_dir/debian-$release/"
exit "$status"
