#!/bin/bash
# Installs what is needed, builds, and runs the manager under Wine with the
# stand-in service program beside it. With a display ($DISPLAY) it runs there;
# without one it runs on a private Xvfb display and saves manager-screenshot.png.
# Extra arguments are passed to the manager (e.g. -MINIMIZE).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh"

build="$root/build/win64"
demo="$root/build/demo"
export WINEPREFIX="$demo/wineprefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$demo"
if [ ! -d "$WINEPREFIX/drive_c" ]; then
  echo "creating the demo Wine prefix (about 20 s)"
  wineboot -i >/dev/null 2>&1
  # A server started without the display would keep the new windows off it.
  wineserver -w
  cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
fi
app="$WINEPREFIX/drive_c/Zemlo"
mkdir -p "$app"
cp "$build/ZemloLinkvaneManager.exe" "$build/testbin/Linkvane_Service.exe" "$build/testbin/Linkvane.exe" "$app/"
echo "manager installed in C:\\Zemlo of $WINEPREFIX"

if [ -n "${DISPLAY:-}" ]; then
  cd "$app" && exec wine 'C:\Zemlo\ZemloLinkvaneManager.exe' "$@"
fi

shot="$root/manager-screenshot.png"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  cd "$1"; shift; shot=$1; shift
  # No window manager here: let Wine draw the captions and borders itself.
  wine reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1
  timeout 120 wine "C:\\Zemlo\\ZemloLinkvaneManager.exe" "$@" &
  sleep 8
  import -window root "$shot"
  timeout 10 wineserver -k
' _ "$app" "$shot" "$@"
echo "screenshot saved: $shot"
