#!/bin/bash
# Soak: the manager in the tray with the log monitor open, against the
# stand-in service writing 20 lines a second, for MINUTES (default 30).
# Records the manager's resident memory at start and end, and samples the
# monitor's rows: the newest must be close behind the log's latest complete
# line and no line may be missing between rows (at this rate a tick never
# meets the 10000-byte cap). Runs in its own build folder and Wine prefix
# (build/soak), so the test suite can run beside it. Needs build/win64.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
minutes=${1:-30}
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
soak="$root/build/soak"
mkdir -p "$soak/testbin"
cp "$root/build/win64/ZemloLinkvaneManager.exe" "$soak/"
cp "$root/build/win64/testbin/"*.exe "$soak/testbin/"
source "$root/tests/e2e/run.sh" "$soak"
trap 'timeout 10 wineserver -k 2>/dev/null' EXIT
failures=0
check() {  # DESCRIPTION COMMAND...
  local what=$1
  shift
  if "$@"; then echo "ok - $what"; else echo "FAIL - $what"; failures=$((failures + 1)); fi
}
log="$WINEPREFIX/drive_c/Zemlo/InfoLog.txt"
result="$soak/soak-result.txt"
zlvrun --do reset 'write LinkvaneStandIn.ini "[Stand-in]\r\nInterval=50\r\n"' >/dev/null

# Started from here, so that its Linux process (the one the wine loader
# becomes) can be measured; the trap's server shutdown ends it.
(cd "$WINEPREFIX/drive_c/Zemlo" && exec wine 'C:\Zemlo\ZemloLinkvaneManager.exe' >/dev/null 2>&1) &
pid=$!
zlvrun --do "click manager Start" 'status is "Service is Running" 30000' \
  'click manager "Monitor InfoLog file"' 'row monitor 0 has Stand-in 10000' "post manager 0x112 0xF020" \
  'state manager is "hidden notaskbar" 10000' | grep FAIL && failures=$((failures + 1))
sleep 5
rss() { awk '/VmRSS/ { print $2 }' "/proc/$pid/status" 2>/dev/null; }
latest_in_log() { tr -d '\r' <"$log" | grep -o 'Stand-in event [0-9]*$' | tail -1 | grep -o '[0-9]*$'; }
# One sample: "lag gaps rows status-ms": how far the newest row is behind the
# log, how many lines are missing between adjacent rows, and how long the
# status bar took to answer. Rows move down while they are read, so a row may
# repeat or a newer one appear; only a step down by more than one is a gap.
sample() {
  local out latest
  out=$(zlvrun --do status "row monitor *")
  latest=$(latest_in_log)
  echo "$out" | awk -F'\t' -v latest="$latest" '
    /^[0-9]+ ms\tstatus/ { ms = $1 + 0 }
    /event [0-9]+\]?$/ { n++; match($0, /event [0-9]+/); id = substr($0, RSTART + 6, RLENGTH - 6) + 0
      if (n == 1) lag = latest - id; else if (id < prev - 1) gaps += prev - id - 1; prev = id }
    END { printf "%d %d %d %d\n", lag, gaps, n, ms }'
}

start_rss=$(rss)
first_line=$(latest_in_log)
t_end=$(($(date +%s) + minutes * 60))
samples=0 total_gaps=0 max_lag=0 min_rows=999 max_answer_ms=0 lost=
: >"$soak/soak-samples.txt"
while [ "$(date +%s)" -lt "$t_end" ]; do
  sleep 20
  if ! zlvrun --do "state manager is \"hidden notaskbar\"" >/dev/null; then
    lost="$(date +%T), after $samples samples"
    break
  fi
  read -r lag gaps rows answer <<<"$(sample)"
  samples=$((samples + 1))
  total_gaps=$((total_gaps + gaps))
  [ "$lag" -gt "$max_lag" ] && max_lag=$lag
  [ "$rows" -lt "$min_rows" ] && min_rows=$rows
  [ "$answer" -gt "$max_answer_ms" ] && max_answer_ms=$answer
  echo "$(date +%T) lag=$lag gaps=$gaps rows=$rows status_ms=$answer rss_kib=$(rss)" >>"$soak/soak-samples.txt"
done
end_rss=$(rss)
{
  echo "soak: $minutes min, stand-in interval 50 ms, refresh 500 ms, $samples samples"
  echo "resident KiB: $start_rss at the start, ${end_rss:-gone} at the end"
  echo "lines written during the soak: $(($(latest_in_log) - first_line))"
  echo "lines missing between adjacent rows over all samples: $total_gaps"
  echo "largest lag of the newest row behind the log: $max_lag lines"
  echo "fewest rows in a sample: $min_rows; slowest status answer: $max_answer_ms ms"
  echo "each sample: $soak/soak-samples.txt"
} | tee "$result"
check "the manager's window stays for the whole soak ${lost:+(lost at $lost)}" [ -z "$lost" ]
check "no line missing between rows" [ "$total_gaps" -eq 0 ]
# 20 lines a second, a 500 ms refresh and a list-view read of about a second.
check "the newest row stays within 80 lines of the log" [ "$max_lag" -le 80 ]
check "the status line always answered within 2 s" [ "$max_answer_ms" -le 2000 ]
check "resident memory grew by under 10%" [ "${end_rss:-0}" -le $((start_rss + start_rss / 10)) ]
zlvrun --do "post manager 512 1 0x203" "state manager is shown 10000" "click manager Stop" \
  'status is "Service is Stopped" 20000' "close manager" >/dev/null
exit "$failures"
