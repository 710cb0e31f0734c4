# Sourced by every script that starts Wine: picks the Wine programs for this
# host and tells whether it can run the i686 build. Debian's `wine` and the
# wine-stable links pick the 32-bit loader whenever wine32 is installed, and a
# kernel without 32-bit support refuses it, for 64-bit prefixes too. So the
# 64-bit loader and server are named here, and wine-bin/ (first on PATH) starts
# `wine`, `wineboot` and `wineserver` through them. A 32-bit exe started by the
# 64-bit loader is handed on to the 32-bit loader beside it.
#
# ZLV_RUNS_32BIT is 1 when this host executes 32-bit programs, found out by
# running a tiny one, or 0 with ZLV_NO_32BIT_WHY telling why. ZLV_NO_WIN32=1
# forces 0, to try that path on a host that could. Both are exported, so the
# scripts this one starts ask no second time.

zlv_pick() {  # CANDIDATE...: the first executable one
  local c
  for c in "$@"; do
    [ -n "$c" ] && [ -x "$c" ] && { echo "$c"; return 0; }
  done
  return 1
}
WINELOADER=$(zlv_pick /usr/lib/wine/wine64 /usr/lib64/wine/wine64 "$(command -v wine64)") ||
  WINELOADER=/usr/lib/wine/wine64 # not installed yet: install-deps.sh brings it
WINESERVER=$(zlv_pick "$(dirname "$WINELOADER")/wineserver64" "$(dirname "$WINELOADER")/wineserver" \
  "$(command -v wineserver)") || WINESERVER=$(dirname "$WINELOADER")/wineserver64
zlv_wine_bin="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/wine-bin"
case ":$PATH:" in *":$zlv_wine_bin:"*) ;; *) PATH="$zlv_wine_bin:$PATH" ;; esac
export WINELOADER WINESERVER PATH

if [ -z "${ZLV_RUNS_32BIT:-}" ]; then
  if [ "${ZLV_NO_WIN32:-0}" = 1 ]; then
    ZLV_RUNS_32BIT=0 ZLV_NO_32BIT_WHY="ZLV_NO_WIN32=1 treats this host as one that cannot run them"
  else
    # A 93-byte static i386 Linux program that only calls exit(0).
    zlv_trial=$(mktemp)
    printf '\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x54\x00\x00\x00\x54\x80\x04\x08\x54\x80\x04\x08\x09\x00\x00\x00\x09\x00\x00\x00\x05\x00\x00\x00\x01\x00\x00\x00\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80' >"$zlv_trial"
    chmod +x "$zlv_trial"
    if zlv_trial_error=$("$zlv_trial" 2>&1); then
      ZLV_RUNS_32BIT=1 ZLV_NO_32BIT_WHY=
    else
      ZLV_RUNS_32BIT=0
      ZLV_NO_32BIT_WHY="this kernel does not execute 32-bit programs (a 32-bit trial program: ${zlv_trial_error##*: })"
    fi
    rm -f "$zlv_trial"
  fi
  export ZLV_RUNS_32BIT ZLV_NO_32BIT_WHY
fi

# zlv_step NAME LOG COMMAND...: runs COMMAND with its output in LOG; when it
# fails, names the step, its exit status and the log, and shows the log's end.
zlv_step() {
  local name=$1 log=$2 status=0
  shift 2
  "$@" >"$log" 2>&1 || status=$?
  if [ "$status" -ne 0 ]; then
    echo "$name failed (exit status $status); its log: $log" >&2
    tail -n 15 "$log" | sed 's/^/  | /' >&2
  fi
  return "$status"
}

# zlv_make_prefix LOG: makes $WINEPREFIX when it is missing or half made, with
# the fonts the manager's windows use; a crash ends at once instead of waiting
# on a dialog. Returns non-zero when wineboot fails.
zlv_make_prefix() {
  [ -d "$WINEPREFIX/drive_c/windows" ] && return 0
  rm -rf "$WINEPREFIX"
  echo "creating the Wine prefix $WINEPREFIX (about 20 s)"
  zlv_step "creating the Wine prefix $WINEPREFIX (wineboot)" "$1" timeout 120 wineboot -i </dev/null || return 1
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  # A server started without the display would keep the new windows off it.
  timeout 20 wineserver -w
  cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
}
