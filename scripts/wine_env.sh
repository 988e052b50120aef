#!/usr/bin/env bash
# The Wine and X test environment, sourced by the test and run scripts.
#   wine_env_start DIR   private WINEPREFIX in DIR/wine with Japanese font
#                        replacements, a persistent wineserver, and (unless
#                        KEEP_DISPLAY=1 and DISPLAY is set) Xvfb with openbox
#                        and xcompmgr on a free display. Exports the variables.
#                        Its desktop folder is its own, or a link to
#                        TESSARK_DESKTOP when that is set. Drive T: is a
#                        scratch folder of /dev/shm (see _remove_second_drive),
#                        made anew by wine_env_start and removed by wine_env_stop.
#   wine_env_stop DIR    ends what wine_env_start started, by process id.
#   wine_env_run CMD...  runs CMD as the test user (see below) in the environment.
#   wine_env_reaches FOLDER...  whether the test user can enter and list each
#                        FOLDER (creates the user when missing).
# Run as root, the Wine tiers run as an unprivileged user, "tessark": root
# writes through read-only attributes, so read-only files and folders would
# not behave as they do for a Windows user. DIR is handed to that user.
# wine_env_start ends a failure with one line "wine set-up: what failed:
# what to do" on standard error and returns 1.
# Without a compositor a layered window is drawn opaque, so xcompmgr is needed.
# Sourcing it gives the caller a UTF-8 locale when it has none (see
# scripts/utf8_locale.sh), so that every program it starts names files alike.

_WINE_ENV_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$_WINE_ENV_ROOT/scripts/utf8_locale.sh"

TESSARK_TEST_USER="${TESSARK_TEST_USER:-tessark}"

_switch_user() { [ "$(id -u)" = 0 ] && [ "${TESSARK_SWITCH_USER:-1}" = 1 ]; }

wine_env_run() {
  if _switch_user; then
    setpriv --reuid="$TESSARK_TEST_USER" --regid="$TESSARK_TEST_USER" --clear-groups \
      env HOME="/home/$TESSARK_TEST_USER" USER="$TESSARK_TEST_USER" LOGNAME="$TESSARK_TEST_USER" "$@"
  else
    "$@"
  fi
}

_make_test_user() {
  id -u "$TESSARK_TEST_USER" >/dev/null 2>&1 && return 0
  useradd -m -s /bin/sh "$TESSARK_TEST_USER" || {
    echo "wine set-up: useradd $TESSARK_TEST_USER failed: create that user, or name another in TESSARK_TEST_USER" >&2
    return 1; }
}

wine_env_reaches() {
  _switch_user || return 0
  _make_test_user || return 1
  wine_env_run sh -c 'for d; do cd "$d" 2>/dev/null && [ -r . ] || exit 1; done' - "$@"
}

_free_display() {
  local n
  for n in $(seq 90 140); do
    # A server in another root (a chroot) shows only through its abstract socket.
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ] &&
       ! grep -q "@/tmp/.X11-unix/X$n\$" /proc/net/unix 2>/dev/null; then echo "$n"; return; fi
  done
  return 1
}

_wait_for() {  # _wait_for SECONDS COMMAND...
  local limit=$(( $1 * 10 )); shift
  local i
  for ((i = 0; i < limit; i++)); do "$@" && return 0; sleep 0.1; done
  return 1
}

# A folder on another file system than the build folder (tmpfs) for drive T:
# of the prefix: a second volume, as a USB stick or D: is on Windows, so that
# a correction across volumes is tested. Each start makes a new one, named in
# DIR/env/drive: chroots that share /dev/shm may have build folders of the
# same path. Nothing when this machine has no /dev/shm.
_remove_second_drive() {  # _remove_second_drive DIR
  local drive
  drive="$(cat "$1/env/drive" 2>/dev/null)" || return 0
  rm -f "$1/wine/dosdevices/t:" "$1/env/drive"
  case "$drive" in /dev/shm/tessark-drive-*) rm -rf "$drive" ;; esac
}

wine_env_start() {
  local dir="$1"
  mkdir -p "$dir/env"
  : >"$dir/env/pids"
  if _switch_user; then
    _make_test_user || return 1
    chown -R "$TESSARK_TEST_USER:" "$dir"
    wine_env_reaches "$dir" "$_WINE_ENV_ROOT/scripts" || {
      echo "wine set-up: the test user $TESSARK_TEST_USER cannot reach $dir or $_WINE_ENV_ROOT:" \
        "use a clone and BUILD_DIR in folders that every user may enter (not under a home of mode 700)" >&2
      return 1; }
  fi
  local wine="$_WINE_ENV_ROOT/scripts/wine"
  export TESSARK_WINE; TESSARK_WINE="$("$_WINE_ENV_ROOT/scripts/wine_arch.sh" loader)"
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEPREFIX="$dir/wine"
  if [ "$("$_WINE_ENV_ROOT/scripts/wine_arch.sh")" = i686 ]; then export WINEARCH=win32; else export WINEARCH=win64; fi
  if [ "${KEEP_DISPLAY:-0}" != 1 ] || [ -z "${DISPLAY:-}" ]; then
    local n; n=$(_free_display)
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp -ac >"$dir/env/xvfb.log" 2>&1 &
    echo $! >>"$dir/env/pids"
    export DISPLAY=":$n"
    _wait_for 20 test -e "/tmp/.X11-unix/X$n" || {
      echo "wine set-up: Xvfb did not start on :$n: see $dir/env/xvfb.log" >&2; return 1; }
    openbox >"$dir/env/openbox.log" 2>&1 &
    echo $! >>"$dir/env/pids"
    xcompmgr >"$dir/env/xcompmgr.log" 2>&1 &
    echo $! >>"$dir/env/pids"
  fi
  if [ ! -f "$WINEPREFIX/.tessark-ready" ]; then
    rm -rf "$WINEPREFIX"
    # wineboot's exit status says little; the prefix's registry says whether it worked.
    wine_env_run "$wine" wineboot -i >"$dir/env/wineboot.log" 2>&1 || true
    wine_env_run wineserver -w
    [ -f "$WINEPREFIX/system.reg" ] || {
      echo "wine set-up: wineboot made no Wine prefix in $WINEPREFIX: see $dir/env/wineboot.log" \
        "(scripts/wine_arch.sh tells which Wine loader runs here)" >&2; return 1; }
    wine_env_run "$wine" regedit "$_WINE_ENV_ROOT/scripts/japanese_fonts.reg" >>"$dir/env/wineboot.log" 2>&1 || {
      echo "wine set-up: the Japanese font replacements could not be imported: see $dir/env/wineboot.log" >&2
      return 1; }
    wine_env_run wineserver -w
    wine_env_run touch "$WINEPREFIX/.tessark-ready" || {
      echo "wine set-up: cannot write to $WINEPREFIX as $(wine_env_run id -un)" >&2; return 1; }
  fi
  # Wine links the shell folders to the Unix home; notes are written to the
  # desktop, which must be the prefix's own folder, never the home, unless
  # TESSARK_DESKTOP names the folder to link it to (the run script on a display).
  local link
  for link in "$WINEPREFIX"/drive_c/users/*/{Desktop,Documents,Downloads,Music,Pictures,Videos}; do
    if [ -n "${TESSARK_DESKTOP:-}" ] && [ "${link##*/}" = Desktop ]; then continue; fi
    if [ -L "$link" ]; then wine_env_run rm -f "$link" && wine_env_run mkdir -p "$link"; fi
  done
  if [ -n "${TESSARK_DESKTOP:-}" ]; then
    link="$WINEPREFIX/drive_c/users/$(wine_env_run id -un)/Desktop"
    if [ "$(readlink "$link")" != "$TESSARK_DESKTOP" ]; then
      rm -f "$link" 2>/dev/null || true
      # Only an empty folder gives way: notes in it are never thrown away.
      if [ -d "$link" ]; then rmdir "$link" || return 1; fi
      ln -s "$TESSARK_DESKTOP" "$link"
    fi
  fi
  # Wine maps C: and Z: itself; T: is ours. Only the test user's own empty
  # folder is linked: the name under /dev/shm is known to every user.
  _remove_second_drive "$dir"
  local drive=""
  if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    drive="$(wine_env_run mktemp -d /dev/shm/tessark-drive-XXXXXXXX)" && [ ! -L "$drive" ] || drive=""
  fi
  if [ -n "$drive" ]; then
    echo "$drive" >"$dir/env/drive"
    wine_env_run ln -sfn "$drive" "$WINEPREFIX/dosdevices/t:"
  else
    echo "wine set-up: no folder in /dev/shm for drive T:: the tests across volumes are skipped" >&2
  fi
  # One server for the whole run: every Wine process start is then cheap.
  wine_env_run wineserver -p >/dev/null 2>&1 &
  sleep 0.2
  # Start Wine's own services now, with their output in a log: started later
  # by a test, they would inherit its output pipe and keep it open.
  wine_env_run "$wine" cmd /c exit >>"$dir/env/wineboot.log" 2>&1 </dev/null || {
    echo "wine set-up: Wine does not run programs in $WINEPREFIX: see $dir/env/wineboot.log" >&2; return 1; }
}

wine_env_stop() {
  local dir="$1"
  wine_env_run wineserver -k >/dev/null 2>&1 || true
  if [ -f "$dir/env/pids" ]; then
    local pid
    for pid in $(tac "$dir/env/pids"); do kill "$pid" 2>/dev/null || true; done
    rm -f "$dir/env/pids"
  fi
  _remove_second_drive "$dir"
  return 0
}
