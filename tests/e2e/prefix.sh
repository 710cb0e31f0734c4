#!/bin/bash
# setup BUILD: make the build's Wine prefix if it is missing and start its
# server detached from our output (a server holding ctest's pipe keeps ctest
# waiting until it exits).
# teardown BUILD: stop that prefix's server (never by process name).
set -u
action=$1
source "$(dirname "$0")/wine-env.sh" "$2"

case "$action" in
setup)
  timeout 10 wineserver -k 2>/dev/null
  timeout 20 wineserver -w 2>/dev/null
  if [ -d "$WINEPREFIX/drive_c/windows" ]; then
    wineserver -p60 </dev/null >/dev/null 2>&1
    timeout 30 wine cmd /c exit </dev/null >/dev/null 2>&1
    echo "prefix ready: $WINEPREFIX"
    exit 0
  fi
  rm -rf "$WINEPREFIX"
  timeout 120 wineboot -i </dev/null >/dev/null 2>&1 || { echo "wineboot failed"; exit 1; }
  # Without a window manager every hide blocks ~2 s unless Wine manages no windows;
  # a crash must exit at once instead of opening a dialog that waits forever.
  timeout 30 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  timeout 30 wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  timeout 20 wineserver -w
  cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null
  mkdir -p "$ZLV_APPDIR"
  wineserver -p60 </dev/null >/dev/null 2>&1
  timeout 30 wine cmd /c exit </dev/null >/dev/null 2>&1
  echo "prefix ready: $WINEPREFIX"
  ;;
teardown)
  timeout 10 wineserver -k 2>/dev/null
  timeout 10 wineserver -w 2>/dev/null
  echo "prefix stopped"
  ;;
esac
exit 0
