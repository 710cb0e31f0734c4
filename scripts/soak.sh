#!/bin/bash
# Soak: the manager in the tray with the log monitor open, against the
# stand-in service writing 20 lines a second, for MINUTES (default 30).
# Records handles, GDI and USER objects and working set at start and end, and
# samples the monitor's rows: the newest must be close behind the log's latest
# complete line and no line may be missing between rows (at this rate a tick
# never meets the 10000-byte cap). Runs in its own build folder and Wine
# prefix (build/soak), so the test suite can run beside it. Needs build/win64.
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
bash "$root/tests/e2e/prefix.sh" setup "$soak" >/dev/null
source "$root/tests/e2e/lib.sh" "$soak"
trap 'timeout 10 wineserver -k 2>/dev/null' EXIT
zlv_reset
monitor="Monitoring Linkvane InfoLog.txt"
log="$ZLV_APPDIR/InfoLog.txt"
result="$soak/soak-result.txt"
printf '[Stand-in]\r\nInterval=50\r\n' >"$ZLV_APPDIR/LinkvaneStandIn.ini"

# zlv_start bounds the manager to 10 minutes; the soak needs it for its whole run.
(cd "$ZLV_APPDIR" && timeout $((minutes * 60 + 600)) wine "$ZLV_APPDIR_WIN\\ZemloLinkvaneManager.exe" \
  >/dev/null 2>&1 &)
drv wait-visible "$ZLV_TITLE" 20000 >/dev/null
drv click "$ZLV_TITLE" Start >/dev/null
check "the service runs" drv wait-status "$ZLV_TITLE" "Service is Running" 30000
drv click "$ZLV_TITLE" "Monitor InfoLog file" >/dev/null
check "the monitor opens" drv wait-visible "$monitor" 10000
drv minimize "$ZLV_TITLE" >/dev/null
sleep 5
check_eq "the manager sits in the tray" "hidden notaskbar" "$(drv state "$ZLV_TITLE")"

latest_in_log() { tr -d '\r' <"$log" | grep -o 'Stand-in event [0-9]*$' | tail -1 | grep -o '[0-9]*$'; }
# One sample: prints "lag gaps rows": how far the newest row is behind the log,
# and how many lines are missing between adjacent rows. Rows move down while
# they are read, so a row may repeat or a newer one appear; only a step down by
# more than one is a missing line.
sample() {
  local file_latest rows
  rows=$(drv listview "$monitor" | tail -n +2 | cut -f4 | grep -o 'event [0-9]*$' | grep -o '[0-9]*$')
  file_latest=$(latest_in_log)
  echo "$rows" | awk -v latest="$file_latest" '
    NR == 1 { lag = latest - $1 }
    NR > 1 && $1 < prev - 1 { gaps += prev - $1 - 1 }
    { prev = $1; n++ }
    END { printf "%d %d %d\n", lag, gaps, n }'
}

start_info=$(drv procinfo "$ZLV_TITLE")
first_line=$(latest_in_log)
t_end=$(($(date +%s) + minutes * 60))
samples=0 total_gaps=0 max_lag=0 min_rows=999 slow_answers=0 max_answer_ms=0 lost=
: >"$soak/soak-samples.txt"
while [ "$(date +%s)" -lt "$t_end" ]; do
  sleep 20
  if ! drv wait "$ZLV_TITLE" 1000 >/dev/null 2>&1; then
    lost="$(date +%T), after $samples samples"
    echo "the manager's window is gone at $lost" | tee -a "$soak/soak-samples.txt"
    break
  fi
  t0=$(date +%s%3N)
  drv status "$ZLV_TITLE" >/dev/null
  answer=$(($(date +%s%3N) - t0))
  [ "$answer" -gt "$max_answer_ms" ] && max_answer_ms=$answer
  [ "$answer" -gt 2000 ] && slow_answers=$((slow_answers + 1))
  read -r lag gaps rows <<<"$(sample)"
  samples=$((samples + 1))
  total_gaps=$((total_gaps + gaps))
  [ "$lag" -gt "$max_lag" ] && max_lag=$lag
  [ "$rows" -lt "$min_rows" ] && min_rows=$rows
  echo "$(date +%T) lag=$lag gaps=$gaps rows=$rows status_ms=$answer $(drv procinfo "$ZLV_TITLE")" >>"$soak/soak-samples.txt"
done
check_eq "the manager's window stays for the whole soak" "" "$lost"
end_info=$(drv procinfo "$ZLV_TITLE")
last_line=$(latest_in_log)

growth() {  # START END: growth in percent, one decimal
  awk -v a="$1" -v b="$2" 'BEGIN { if (a == 0) print "n/a"; else printf "%+.1f%%\n", (b - a) * 100 / a }'
}
read -r ws0 h0 g0 u0 _ <<<"$start_info"
read -r ws1 h1 g1 u1 _ <<<"$end_info"
{
  echo "soak: $minutes min, stand-in interval 50 ms, refresh 500 ms, $samples samples"
  echo "counter        start    end    growth"
  printf 'handles        %-8s %-6s %s\n' "$h0" "$h1" "$(growth "$h0" "$h1")"
  printf 'GDI objects    %-8s %-6s %s\n' "$g0" "$g1" "$(growth "$g0" "$g1")"
  printf 'USER objects   %-8s %-6s %s\n' "$u0" "$u1" "$(growth "$u0" "$u1")"
  printf 'working set KiB %-7s %-6s %s\n' "$ws0" "$ws1" "$(growth "$ws0" "$ws1")"
  echo "lines written during the soak: $((last_line - first_line))"
  echo "lines missing between adjacent rows over all samples: $total_gaps"
  echo "largest lag of the newest row behind the log: $max_lag lines"
  echo "fewest rows in a sample: $min_rows; slowest status answer: $max_answer_ms ms"
  echo "each sample: $soak/soak-samples.txt"
} | tee "$result"
check_eq "no line missing between rows" 0 "$total_gaps"
# 20 lines a second, a 500 ms refresh and a listview read of about a second.
check "the newest row stays within 80 lines of the log" [ "$max_lag" -le 80 ]
check_eq "the status line always answered within 2 s" 0 "$slow_answers"
# Wine answers 0 for counters it does not keep: such a counter proves nothing.
for counter in "handle $h0 $h1" "GDI $g0 $g1" "USER $u0 $u1" "working-set $ws0 $ws1"; do
  read -r name a b <<<"$counter"
  case "$a$b" in *[!0-9]*) check "the $name count was readable at the end" false; continue ;; esac
  if [ "$a" -eq 0 ]; then
    echo "skip - the $name count: Wine reports 0"
  else
    check "the $name count grew by under 10%" [ "$b" -le $((a + a / 10 + 2)) ]
  fi
done

drv tray "$ZLV_TITLE" 0x203 >/dev/null
drv wait-visible "$ZLV_TITLE" 10000 >/dev/null
drv click "$ZLV_TITLE" Stop >/dev/null
drv wait-status "$ZLV_TITLE" "Service is Stopped" 20000 >/dev/null
drv close "$ZLV_TITLE" >/dev/null
drv gone "$ZLV_TITLE" 10000 >/dev/null
zlv_finish
