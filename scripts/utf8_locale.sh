# shellcheck shell=sh
# Sourced (by sh or bash) by the scripts that start Wine: scripts/wine and
# scripts/wine_env.sh. Wine converts Unix file names through the locale's
# character set; under the C or POSIX locale (no LANG or LC_ALL: an empty
# environment, a bare container, ssh without a locale) that is ASCII, and a
# note whose name holds Japanese cannot be written. When the character set in
# effect is not UTF-8 (no locale, C, POSIX, or a locale not generated here),
# the variable that decides it becomes C.UTF-8, which every Debian has; a
# UTF-8 locale of the caller's is kept.
case "$(locale charmap 2>/dev/null)" in
  UTF-8) ;;
  *)
    if [ -n "${LC_ALL:-}" ]; then export LC_ALL=C.UTF-8
    elif [ -n "${LC_CTYPE:-}" ]; then export LC_CTYPE=C.UTF-8
    else export LANG=C.UTF-8
    fi
    ;;
esac
