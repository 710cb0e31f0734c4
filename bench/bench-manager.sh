#!/bin/bash
# Benchmarks of the manager under Wine (figures, not pass/fail): start-up to
# the window shown against a bare Win32 window program, working set, and CPU
# time while idle in the tray for 60 s. Run after scripts/build.sh.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/win64"
runs=${1:-5}
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  source "$1/tests/e2e/lib.sh" "$2"; runs=$3
  bash "$1/tests/e2e/prefix.sh" setup "$2" >/dev/null
  zlv_reset
  cp "$ZLV_TESTBIN/bare_window.exe" "$ZLV_APPDIR/"
  now_ms() { date +%s%3N; }
  startup() {  # EXE TITLE: ms from launch to the window shown
    local t0 t1
    t0=$(now_ms)
    (cd "$ZLV_APPDIR" && timeout 60 wine "C:\\Zemlo\\$1" >/dev/null 2>&1 &)
    drv wait-visible "$2" 20000 >/dev/null
    t1=$(now_ms)
    echo $((t1 - t0))
  }
  median() { sort -n | awk "{ a[NR] = \$1 } END { print a[int((NR + 1) / 2)] }"; }
  for program in "bare_window.exe|Bare Window" "ZemloLinkvaneManager.exe|Zemlo Linkvane Manager"; do
    exe=${program%%|*} title=${program#*|}
    times=$(for i in $(seq "$runs"); do
      startup "$exe" "$title"
      sleep 1
      info=$(drv procinfo "$title")
      echo "$info" >"/tmp/zlv-bench-$exe"
      drv close "$title" >/dev/null
      drv gone "$title" 10000 >/dev/null
    done)
    echo "$exe: start-up median $(echo "$times" | median) ms over $runs runs ($(echo $times)); working set $(cut -d" " -f1 "/tmp/zlv-bench-$exe") KiB"
  done
  # Wine does not account CPU time to Windows processes reliably: read the
  # Linux process the wine loader becomes (it keeps the PID it was started with).
  cd "$ZLV_APPDIR"
  wine "C:\\Zemlo\\ZemloLinkvaneManager.exe" -MINIMIZE >/dev/null 2>&1 &
  pid=$!
  drv wait "$ZLV_TITLE" 20000 >/dev/null
  sleep 2
  cpu_ms() { awk -v hz="$(getconf CLK_TCK)" "{ print int((\$14 + \$15) * 1000 / hz) }" "/proc/$pid/stat"; }
  grep -q ZemloLinkvaneManager "/proc/$pid/cmdline" || echo "warning: pid $pid is not the manager"
  before=$(cpu_ms)
  sleep 60
  after=$(cpu_ms)
  echo "idle in the tray for 60 s: $((after - before)) ms of CPU"
  drv close "$ZLV_TITLE" >/dev/null
  bash "$1/tests/e2e/prefix.sh" teardown "$2" >/dev/null
' _ "$root" "$build" "$runs"
