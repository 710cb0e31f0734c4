#!/bin/bash
# Where the manager's resident memory goes beyond the bare window's, under
# Wine: bench/memory_steps run with one piece of the manager at a time, each
# alone 5 s after its window is up, then everything together and the manager
# itself in the tray. Prints the median of RUNS runs (default 3) and the
# difference to the bare program. Run after scripts/build.sh.
# memory-steps.sh [RUNS] [BUILD]
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-3}
build=${2:-$root/build/win64}
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
source "$root/tests/e2e/run.sh" "$build"
trap 'timeout 10 wineserver -k 2>/dev/null' EXIT
steps() { zlvrun --do "$@" >/dev/null || { echo "bench: a step failed: $*" >&2; return 1; }; }
steps reset "copy bare_window.exe bare_window.exe" "copy memory_steps.exe memory_steps.exe" ||
  exit 1
folder="$WINEPREFIX/drive_c/Zemlo"
cp "$build/res/manager.manifest" "$root/res/manager.ico" "$root/res/tray.ico" "$folder/"
cd "$folder" || exit 1
median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

resident() {  # PROGRAM WINDOW STATE [ARGUMENT...]: KiB once idle
  local program=$1 window=$2 state=$3 pid
  shift 3
  wine "C:\\Zemlo\\$program" "$@" >/dev/null 2>&1 &
  pid=$!
  steps "state $window is $state 20000" || return 1
  sleep 5
  awk '/VmRSS/ { print $2 }' "/proc/$pid/status"
  steps "close $window" "state $window is gone 10000"
  wait "$pid" 2>/dev/null
}

base=
row() {  # LABEL PROGRAM WINDOW STATE [ARGUMENT...]
  local label=$1 kib=() k
  shift
  for _ in $(seq "$runs"); do
    k=$(resident "$@") || exit 1
    kib+=("$k")
  done
  k=$(printf '%s\n' "${kib[@]}" | median)
  [ -n "$base" ] || base=$k
  printf '%-44s %6d KiB %+6d KiB  (%s)\n' "$label" "$k" $((k - base)) "${kib[*]}"
}

echo "resident memory, median of $runs; difference to the bare program"
row "memory_steps, nothing added" memory_steps.exe bare shown
row "bare_window" bare_window.exe bare shown
row "comctl32 and InitCommonControlsEx" memory_steps.exe bare shown comctl
row "the same under common controls 6" memory_steps.exe bare shown cc6 comctl
row "comctl32, status bar, buttons, tooltips" memory_steps.exe bare shown comctl controls
row "icons" memory_steps.exe bare shown icons
row "tray icon, window hidden" memory_steps.exe bare hidden tray
row "service manager connection" memory_steps.exe bare shown scm
row "a second thread" memory_steps.exe bare shown thread
row "all of them" memory_steps.exe bare hidden cc6 comctl controls icons tray scm thread
row "the manager in the tray" ZemloLinkvaneManager.exe manager '"hidden notaskbar"' -MINIMIZE
