#!/bin/sh
# Prints which Windows architecture Wine can run here: "i686" when the 32-bit
# loader executes, else "x86_64". With "loader", prints that loader's path.
if [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
  arch=i686; loader=/usr/lib/wine/wine
else
  arch=x86_64; loader=/usr/lib/wine/wine64
fi
if [ "$1" = loader ]; then echo "$loader"; else echo "$arch"; fi
