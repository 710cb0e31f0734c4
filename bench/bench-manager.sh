#!/bin/bash
# Benchmarks of the manager under Wine (figures, not pass/fail): start-up to
# the window shown against a bare Win32 window program, timed inside Wine by
# tests/win/zlvrun, and the resident memory and CPU time while idle in the
# tray for 60 s. Run after scripts/build.sh. bench-manager.sh [RUNS] [BUILD]
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-5}
build=${2:-$root/build/win64}
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
source "$root/tests/e2e/run.sh" "$build"
trap 'timeout 10 wineserver -k 2>/dev/null' EXIT
median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
ms_of() { awk -F'\t' -v s="$1" '$2 ~ "^" s { sum += $1 } END { print sum + 0 }'; }

steps() { zlvrun --do "$@" || { echo "bench: a step failed: $*" >&2; return 1; }; }
steps reset "copy bare_window.exe bare_window.exe" >/dev/null || exit 1
for program in "bare_window.exe|bare" "ZemloLinkvaneManager.exe|manager"; do
  exe=${program%%|*} window=${program#*|}
  times=
  for _ in $(seq "$runs"); do
    out=$(steps "start $exe" "state $window is shown 20000" "close $window" \
      "state $window is gone 10000") || exit 1
    # The start and the wait for the window together: from CreateProcess to shown.
    times+=" $(echo "$out" | ms_of 'start|state [a-z]* is shown')"
  done
  echo "$exe: start-up median $(echo $times | tr ' ' '\n' | median) ms over $runs runs ($times )"
done

# Wine keeps no reliable CPU or memory figures for Windows processes: read the
# Linux process the wine loader becomes (it keeps the PID it was started with).
cd "$WINEPREFIX/drive_c/Zemlo"
wine 'C:\Zemlo\ZemloLinkvaneManager.exe' -MINIMIZE >/dev/null 2>&1 &
pid=$!
steps "state manager is \"hidden notaskbar\" 20000" >/dev/null
sleep 2
grep -q ZemloLinkvaneManager "/proc/$pid/cmdline" || echo "warning: pid $pid is not the manager"
cpu_ms() { awk -v hz="$(getconf CLK_TCK)" '{ print int(($14 + $15) * 1000 / hz) }' "/proc/$pid/stat"; }
before=$(cpu_ms)
sleep 60
echo "idle in the tray for 60 s: $(($(cpu_ms) - before)) ms of CPU; resident $(awk '/VmRSS/ { print $2 }' "/proc/$pid/status") KiB"
steps "close manager" >/dev/null
