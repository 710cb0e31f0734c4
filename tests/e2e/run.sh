#!/bin/bash
# run.sh BUILD [SCENARIO...]: win_tests, then the scenarios at each screen DPI
# they name, in the build's own Wine prefix (made when missing). Needs a display.
# Sourced, it only sets the prefix up, for the benchmark and the soak.
set -u -o pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
scenarios="$here/scenarios.txt"
source "$here/../../scripts/wine.sh"
export WINEPREFIX="$build/wineprefix" WINEARCH=win64 WINEDEBUG=-all,err+winediag \
  WINEDLLOVERRIDES="mscoree,mshtml="
# Its error output is not captured: Wine hands it on to every program it starts.
zlvrun() { timeout "${ZLV_TIMEOUT:-120}" wine "$build/testbin/zlvrun.exe" "$@" | tr -d '\r'; }

# The server reads the DPI when it starts; it is started detached, or it would
# hold the captured output of its starter open until it exits.
zlv_start_server() {  # DPI
  for key in 'HKCU\Control Panel\Desktop' 'HKCC\Software\Fonts'; do
    wine reg add "$key" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  done
  timeout 10 wineserver -k 2>/dev/null
  timeout 20 wineserver -w 2>/dev/null
  wineserver -p60 </dev/null >/dev/null 2>&1
  zlv_step "starting Wine at $1 DPI" "$build/wine-start.log" timeout 30 wine cmd /c exit </dev/null
}

zlv_make_prefix "$build/wineboot.log" || exit 1
# Without a window manager every hide blocks about 2 s unless Wine manages no windows.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
zlv_start_server 96 || exit 1
[ "${BASH_SOURCE[0]}" != "$0" ] && return 0
trap 'timeout 10 wineserver -k 2>/dev/null; timeout 20 wineserver -w 2>/dev/null' EXIT
shift

failures=0
timeout 600 wine "$build/testbin/win_tests.exe" --gtest_brief=1 2>&1 | tr -d '\r' ||
  { echo "win_tests failed (exit status $?)"; failures=$((failures + 1)); }
for dpi in $(grep -ho '^dpi .*' "$scenarios" | tr ' ' '\n' | grep -x '[0-9]*' | sort -un); do
  zlv_start_server "$dpi" || { failures=$((failures + 1)); continue; }
  echo "== scenarios at $dpi DPI"
  ZLV_TIMEOUT=900 zlvrun "Z:${scenarios//\//\\}" "$@" ||
    { echo "the scenarios at $dpi DPI failed (exit status $?)"; failures=$((failures + 1)); }
done
zlv_start_server 96
exit "$failures"
