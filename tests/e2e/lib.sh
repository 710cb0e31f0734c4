# Shared steps of the end-to-end tests. Source with the build folder as $1.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh" "$1"
ZLV_TESTBIN="$ZLV_BUILD/testbin"
ZLV_SERVICE_KEY='HKLM\System\CurrentControlSet\Services\Zemlo Linkvane'
ZLV_INI="$ZLV_APPDIR/ZemloLinkvaneManager-Settings.ini"
ZLV_TITLE="Zemlo Linkvane Manager"
zlv_failures=0

# Kills everything this prefix runs, removes the service and the app folder's
# files, installs a fresh copy of the manager and the stand-ins, restarts the server.
zlv_reset() {
  timeout 10 wineserver -k 2>/dev/null
  timeout 20 wineserver -w 2>/dev/null
  wineserver -p60 </dev/null >/dev/null 2>&1
  timeout 30 wine reg delete "$ZLV_SERVICE_KEY" /f >/dev/null 2>&1
  # The service database is read when services.exe starts: restart with the key gone.
  timeout 10 wineserver -k 2>/dev/null
  timeout 20 wineserver -w 2>/dev/null
  rm -rf "$ZLV_APPDIR"
  mkdir -p "$ZLV_APPDIR"
  cp "$ZLV_BUILD/ZemloLinkvaneManager.exe" "$ZLV_APPDIR/"
  for stand_in in Linkvane_Service Linkvane; do
    [ -f "$ZLV_TESTBIN/$stand_in.exe" ] && cp "$ZLV_TESTBIN/$stand_in.exe" "$ZLV_APPDIR/"
  done
  wineserver -p60 </dev/null >/dev/null 2>&1
  timeout 30 wine cmd /c exit </dev/null >/dev/null 2>&1
}

# The automation driver (see tests/win/zlvdriver).
drv() { timeout 30 wine "$ZLV_TESTBIN/zlvdriver.exe" "$@" 2>&1 | tr -d '\r'; return "${PIPESTATUS[0]}"; }

zlv_set_dpi() {  # DPI: the screen's logical DPI, read by Wine when its server starts
  local hex
  hex=$(printf '0x%x' "$1")
  timeout 30 wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$hex" /f >/dev/null 2>&1
  timeout 30 wine reg add 'HKCC\Software\Fonts' /v LogPixels /t REG_DWORD /d "$hex" /f >/dev/null 2>&1
  timeout 10 wineserver -k 2>/dev/null
  timeout 20 wineserver -w 2>/dev/null
  wineserver -p60 </dev/null >/dev/null 2>&1
  timeout 30 wine cmd /c exit </dev/null >/dev/null 2>&1
}

zlv_wait_hidden() {  # TITLE: waits up to 10 s until the window is hidden or gone
  local i
  for i in $(seq 50); do
    case "$(drv state "$1" 2>/dev/null)" in hidden* | "" | *"no window"*) return 0 ;; esac
    sleep 0.2
  done
  return 1
}

# Starts the manager in the background with the given options.
zlv_start() {
  (cd "$ZLV_APPDIR" && timeout 600 wine "$ZLV_APPDIR_WIN\\ZemloLinkvaneManager.exe" "$@" \
    >/dev/null 2>&1 &)
}

# Runs the manager to its end; prints nothing, returns its exit code.
zlv_run() {
  (cd "$ZLV_APPDIR" && timeout 90 wine "$ZLV_APPDIR_WIN\\ZemloLinkvaneManager.exe" "$@" \
    >/dev/null 2>&1)
}

zlv_service_value() {  # NAME: a value of the service's registry key, or nothing
  timeout 30 wine reg query "$ZLV_SERVICE_KEY" /v "$1" 2>/dev/null | tr -d '\r' |
    awk -v n="$1" '$1 == n { $1 = ""; $2 = ""; sub(/^  */, ""); print }'
}

zlv_service_installed() { timeout 30 wine reg query "$ZLV_SERVICE_KEY" >/dev/null 2>&1; }

zlv_ini_value() {  # SECTION KEY: the value in the settings file, or nothing
  [ -f "$ZLV_INI" ] || return 0
  tr -d '\r' <"$ZLV_INI" | awk -v s="[$1]" -v k="$2" '
    /^\[/ { insec = (tolower($0) == tolower(s)); next }
    insec && index($0, "=") { split($0, kv, "="); if (tolower(kv[1]) == tolower(k)) print substr($0, length(kv[1]) + 2) }'
}

check() {  # DESCRIPTION COMMAND...: records a failure without stopping the test
  local what=$1
  shift
  if "$@"; then
    echo "ok - $what"
  else
    echo "FAIL - $what"
    zlv_failures=$((zlv_failures + 1))
  fi
}

check_eq() {  # DESCRIPTION EXPECTED ACTUAL
  if [ "$2" == "$3" ]; then
    echo "ok - $1"
  else
    echo "FAIL - $1: expected [$2], got [$3]"
    zlv_failures=$((zlv_failures + 1))
  fi
}

zlv_finish() {
  timeout 10 wineserver -k 2>/dev/null
  timeout 20 wineserver -w 2>/dev/null
  wineserver -p60 </dev/null >/dev/null 2>&1
  if [ "$zlv_failures" -ne 0 ]; then
    echo "$zlv_failures check(s) failed"
    exit 1
  fi
  echo "all checks passed"
}
