#!/bin/bash
# Benchmarks of the manager under Wine beside a bare Win32 window program
# (figures, not pass/fail), all from one run: start-up to the window shown,
# timed inside Wine by tests/win/zlvrun, the two programs taking turns; then
# both idle at the same time for 60 s, the manager in the tray, with the CPU
# time each used in that minute and its resident memory at the end. Run after
# scripts/build.sh. bench-manager.sh [RUNS] [BUILD]
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-5}
build=${2:-$root/build/win64}
idle_s=60
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
source "$root/tests/e2e/run.sh" "$build"
trap 'timeout 10 wineserver -k 2>/dev/null' EXIT
echo "bench: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg) at the start"
median() { tr ' ' '\n' | grep . | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
span() { tr ' ' '\n' | grep . | sort -n | awk 'NR == 1 { lo = $1 } { hi = $1 } END { print lo "-" hi }'; }
ms_of() { awk -F'\t' -v s="$1" '$2 ~ "^" s { sum += $1 } END { print sum + 0 }'; }
# A program that used nothing has no ratio to another: "inf" then.
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2fx", a / b; else print "inf" }'; }

steps() { zlvrun --do "$@" || { echo "bench: a step failed: $*" >&2; return 1; }; }
steps reset "copy bare_window.exe bare_window.exe" >/dev/null || exit 1
declare -A times=([bare]="" [manager]="")
for _ in $(seq "$runs"); do
  for program in "bare_window.exe|bare" "ZemloLinkvaneManager.exe|manager"; do
    exe=${program%%|*} window=${program#*|}
    out=$(steps "start $exe" "state $window is shown 20000" "close $window" \
      "state $window is gone 10000") || exit 1
    # The start and the wait for the window together: from CreateProcess to shown.
    times[$window]+=" $(echo "$out" | ms_of 'start|state [a-z]* is shown')"
  done
done

# Wine keeps no reliable CPU or memory figures for Windows processes: read the
# Linux process the wine loader becomes (it keeps the PID it was started with).
# CPU time is the run time the scheduler counted for each of its threads, in
# nanoseconds; the process's total of /proc/PID/stat, in 10 ms steps, which
# also holds threads that have ended, is printed beside it as a check.
cd "$WINEPREFIX/drive_c/Zemlo" || exit 1
wine 'C:\Zemlo\bare_window.exe' >/dev/null 2>&1 &
declare -A pid=([bare]=$!)
wine 'C:\Zemlo\ZemloLinkvaneManager.exe' -MINIMIZE >/dev/null 2>&1 &
pid[manager]=$!
steps "state bare is shown 20000" "state manager is \"hidden notaskbar\" 20000" >/dev/null || exit 1
sleep 2
declare -A image=([bare]=bare_window [manager]=ZemloLinkvaneManager)
for window in bare manager; do
  grep -q "${image[$window]}" "/proc/${pid[$window]}/cmdline" ||
    echo "warning: pid ${pid[$window]} is not the $window"
done
run_ns() { cat /proc/"$1"/task/*/schedstat | awk '{ sum += $1 } END { printf "%d", sum }'; }
tick_ms() { awk -v hz="$(getconf CLK_TCK)" '{ print int(($14 + $15) * 1000 / hz) }' "/proc/$1/stat"; }
threads() { ls /proc/"$1"/task | sort | tr '\n' ' '; }
declare -A ns0 tick0 tids0 cpu tick rss med
for window in bare manager; do
  p=${pid[$window]}
  ns0[$window]=$(run_ns "$p") tick0[$window]=$(tick_ms "$p") tids0[$window]=$(threads "$p")
done
sleep "$idle_s"
for window in bare manager; do
  p=${pid[$window]}
  cpu[$window]=$(awk -v a="${ns0[$window]}" -v b="$(run_ns "$p")" 'BEGIN { printf "%.1f", (b - a) / 1e6 }')
  tick[$window]=$(($(tick_ms "$p") - ${tick0[$window]}))
  rss[$window]=$(awk '/VmRSS/ { print $2 }' "/proc/$p/status")
  [ "$(threads "$p")" = "${tids0[$window]}" ] ||
    echo "warning: the $window's threads changed while idle: its tick figure holds the ended ones"
done
steps "close manager" "close bare" >/dev/null

row() { printf '%-34s %-22s %-22s %s\n' "$@"; }
row "" "bare window" "manager" "ratio"
for window in bare manager; do med[$window]=$(echo "${times[$window]}" | median); done
row "start-up to shown, median of $runs" "${med[bare]} ms ($(echo "${times[bare]}" | span))" \
  "${med[manager]} ms ($(echo "${times[manager]}" | span))" "$(ratio "${med[manager]}" "${med[bare]}")"
row "resident memory, idle" "${rss[bare]} KiB" "${rss[manager]} KiB" \
  "$(ratio "${rss[manager]}" "${rss[bare]}")"
row "CPU while idle for ${idle_s} s" "${cpu[bare]} ms (stat ${tick[bare]} ms)" \
  "${cpu[manager]} ms (stat ${tick[manager]} ms)" "$(ratio "${cpu[manager]}" "${cpu[bare]}")"
echo "start-up runs, ms: bare${times[bare]}; manager${times[manager]}"
echo "bench: load average $(cut -d' ' -f1-3 /proc/loadavg) at the end"
