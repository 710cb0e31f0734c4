#!/bin/bash
# Installs what is needed, builds, and runs the manager under Wine with the
# stand-in service program beside it. With a display ($DISPLAY) it runs there;
# without one it runs on a private Xvfb display and saves manager-screenshot.png.
# Extra arguments are passed to the manager (e.g. -MINIMIZE).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
trap 'echo "run.sh: a step failed (exit status $?): $BASH_COMMAND" >&2' ERR
source "$root/scripts/wine.sh"
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh"

build="$root/build/win64"
demo="$root/build/demo"
export WINEPREFIX="$demo/wineprefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$demo"
zlv_make_prefix "$demo/wineboot.log"
app="$WINEPREFIX/drive_c/Zemlo"
mkdir -p "$app"
cp "$build/ZemloLinkvaneManager.exe" "$build/testbin/Linkvane_Service.exe" "$build/testbin/Linkvane.exe" "$app/"
echo "manager installed in C:\\Zemlo of $WINEPREFIX"

if [ -n "${DISPLAY:-}" ]; then
  cd "$app" && exec wine 'C:\Zemlo\ZemloLinkvaneManager.exe' "$@"
fi

shot="$root/manager-screenshot.png"
rm -f "$shot"
xvfb_log="$demo/xvfb.log" manager_log="$demo/manager.log" runner_log="$demo/zlvrun.log"
status=0
xvfb-run -a -e "$xvfb_log" -s "-screen 0 1024x768x24" bash -c '
  source "$1"; shift; cd "$1"; shift; shot=$1 manager_log=$2 runner_log=$3 zlvrun=$4; shift 4
  trap "timeout 10 wineserver -k" EXIT
  # No window manager here: let Wine draw the captions and borders itself.
  wine reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1
  timeout 120 wine "C:\\Zemlo\\ZemloLinkvaneManager.exe" "$@" >"$manager_log" 2>&1 &
  window=shown
  case " ${*^^} " in *" -MINIMIZE "*) window="\"hidden notaskbar\"" ;; esac
  zlv_step "waiting for the manager window" "$runner_log" \
    timeout 60 wine "$zlvrun" --do "state manager is $window 30000" "status starts Service 10000" ||
    { echo "the manager'"'"'s own output: $manager_log" >&2; exit 1; }
  sleep 1 # the status bar is painted after its text is set
  import -window root "$shot"
' _ "$root/scripts/wine.sh" "$app" "$shot" "$manager_log" "$runner_log" "$build/testbin/zlvrun.exe" "$@" ||
  status=$?
if [ "$status" -ne 0 ] || [ ! -s "$shot" ]; then
  echo "run.sh: the manager did not show under Xvfb (exit status $status); the display's log: $xvfb_log" >&2
  exit 1
fi
echo "screenshot saved: $shot"
