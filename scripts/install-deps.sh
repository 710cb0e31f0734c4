#!/bin/bash
# Installs what the builds, tests and the release need on Debian 12 (run as
# root); returns at once when everything is there. 32-bit Windows programs run
# under wine32, an i386 package beside wine64, which is installed only where
# this host executes 32-bit programs (scripts/wine.sh finds that out). A failed
# mirror index in `apt-get update` must not stop the install.
set -u
source "$(dirname "$0")/wine.sh"
packages=(cmake g++ make googletest libgtest-dev clang-format
  g++-mingw-w64-x86-64 g++-mingw-w64-i686 binutils-mingw-w64
  wine wine64 fonts-wine xvfb xauth imagemagick x11-utils zip)
[ "$ZLV_RUNS_32BIT" = 1 ] && packages+=(wine32:i386)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
echo "installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
if [ "$ZLV_RUNS_32BIT" = 1 ]; then
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
fi
apt-get update || echo "apt-get update reported a problem; installing anyway"
apt-get install -y --no-install-recommends "${missing[@]}" ||
  { echo "install-deps: apt-get install failed (exit status $?) for: ${missing[*]}" >&2; exit 1; }
