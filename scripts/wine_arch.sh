#!/bin/sh
# Prints which Windows architecture Wine can run here: "i686" when the 32-bit
# loader executes, else "x86_64". With "loader", prints that loader's path;
# with "build", the build folder name Wine can run ("win" or "win64").
if [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
  arch=i686; loader=/usr/lib/wine/wine; build=win
else
  arch=x86_64; loader=/usr/lib/wine/wine64; build=win64
fi
case "$1" in
  loader) echo "$loader" ;;
  build) echo "$build" ;;
  *) echo "$arch" ;;
esac
