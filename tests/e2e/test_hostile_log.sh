#!/bin/bash
# A hostile InfoLog.txt under an open log monitor: 50 MB growing at about
# 1 MB/s, a writer that locks the file, truncation, deletion, 100 000-byte
# lines, NUL bytes and bytes outside the code page. The monitor must stay
# responsive, read at most 10000 bytes a tick and show the rows the reading
# rules give.
source "$(dirname "$0")/lib.sh" "$1"
zlv_reset
monitor="Monitoring Linkvane InfoLog.txt"
log="$ZLV_APPDIR/InfoLog.txt"
log_win="$ZLV_APPDIR_WIN\\InfoLog.txt"
rows() { drv listview "$monitor" | tail -n +2; }
now_ms() { date +%s%3N; }
# Every generated line is 64 bytes and names its own byte offset in the file.
line_len=64
grow() {  # SECONDS: about 1 MB/s in 100 KB writes, 10 a second
  perl -e '
    my ($log, $secs) = @ARGV;
    open(my $f, ">>", $log) or die; binmode $f; select((select($f), $| = 1)[0]);
    for (1 .. $secs * 10) {
      my $at = -s $log; my $chunk = "";
      for (1 .. 1600) {
        $chunk .= sprintf("12:00:00\tInfo\tGrow\tat %012d%s\r\n", $at, "." x 28);
        $at += 64;
      }
      syswrite($f, $chunk); select(undef, undef, undef, 0.1);
    }' "$log" "$1"
}

perl -e 'my $l = sprintf("11:00:00\tInfo\tBig\tfiller%s\r\n", "." x 38); print $l x 820000' >"$log"
check_eq "the starting log is about 50 MB" 52480000 "$(stat -c %s "$log")"
zlv_start
drv wait-visible "$ZLV_TITLE" 20000 >/dev/null
drv click "$ZLV_TITLE" "Monitor InfoLog file" >/dev/null
check "the monitor opens on a 50 MB log" drv wait-visible "$monitor" 15000
check_eq "the first read takes only the last 10000 bytes" 156 "$(rows | wc -l)"

grow 8 &
grower=$!
slowest=0
for _ in $(seq 8); do
  t0=$(now_ms)
  drv status "$ZLV_TITLE" >/dev/null
  drv listview "$monitor" >/dev/null
  t=$(($(now_ms) - t0))
  [ "$t" -gt "$slowest" ] && slowest=$t
  sleep 0.5
done
wait "$grower"
echo "# slowest status + listview answer while the log grew: $slowest ms"
check "the windows answered within 5 s while the log grew" [ "$slowest" -lt 5000 ]
sleep 1
grown=$(rows | grep -a 'Grow' | cut -f4 | grep -o 'at [0-9]*' | grep -o '[0-9]*$' | awk '{ print $1 + 0 }')
check "grown lines are shown" [ -n "$grown" ]
# Rows read in one tick are adjacent lines, newest first. Such a run must fit
# in the 10000 bytes that tick read.
widest=$(echo "$grown" | awk -v L=$line_len '
  NR > 1 && prev - $1 == L { span += L; prev = $1; next }
  { if (span > max) max = span; span = L; prev = $1 }
  END { if (span > max) max = span; print max + 0 }')
echo "# widest run of adjacent rows: $widest bytes"
check "no tick shows more than its last 10000 bytes" [ "$widest" -le 10000 ]
newest=$(echo "$grown" | head -1)
check_eq "the newest row is the last line of the log" "$(($(stat -c %s "$log") - line_len))" "$newest"

# A writer holding the file without sharing: nothing new while it holds it,
# no report, and the monitor catches up after.
before=$(rows | head -1)
timeout 30 wine "$ZLV_TESTBIN/zlvfault.exe" lock "$log_win" 3000 3 >"$ZLV_APPDIR/lock.out" 2>&1 &
locker=$!
for _ in $(seq 50); do grep -q locked "$ZLV_APPDIR/lock.out" 2>/dev/null && break; sleep 0.1; done
sleep 1.5
check_eq "nothing new while the file is locked" "$before" "$(rows | head -1)"
check_eq "no critical error" 0 "$(drv count "Critical Error")"
wait "$locker"
sleep 1.5
check_eq "after the lock the lines written meanwhile appear" "While locked 3,While locked 2,While locked 1" \
  "$(rows | head -3 | cut -f4 | paste -sd,)"

# Truncated and rewritten, then deleted and re-created.
printf '14:00:00\tInfo\tDev\tRewritten 1\r\n14:00:01\tInfo\tDev\tRewritten 2\r\n' >"$log"
sleep 1.5
check_eq "a truncated, rewritten log is read whole" "Rewritten 2,Rewritten 1" "$(rows | head -2 | cut -f4 | paste -sd,)"
rm -f "$log"
sleep 1.5
check_eq "a deleted log changes nothing" "Rewritten 2" "$(rows | head -1 | cut -f4)"
printf '15:00:00\tInfo\tDev\tRecreated\r\n' >"$log"
sleep 1.5
check_eq "a re-created log is read" "Recreated" "$(rows | head -1 | cut -f4)"

# A 100 000-byte line followed by a short one: the growth is capped at 10000
# bytes, whose fragment of the long line has one field and is skipped.
perl -e 'print "16:00:00\tInfo\tDev\tLong" . ("x" x 99970) . "\r\n16:00:01\tInfo\tDev\tAfter long\r\n"' >>"$log"
sleep 1.5
check_eq "after a 100 000-byte line only the short line is new" "After long,Recreated" \
  "$(rows | head -2 | cut -f4 | paste -sd,)"
# Read whole (a new, shorter file), the long line is one row of four fields.
perl -e 'print "16:30:00\tInfo\tDev\tLong" . ("y" x 99970) . "\r\n"' >"$log"
sleep 1.5
check_eq "a 100 000-byte line read whole is one row" "16:30:00 Dev Longyyy" \
  "$(rows | head -1 | awk -F'\t' '{ print $1, $3, substr($4, 1, 7) }')"

# NUL bytes and bytes with no character in the code page.
printf '17:00:00\tInfo\tDev\tNUL\0inside\r\n17:00:01\tInfo\tD\x81\x8d\x8f\x90\x9d\tOdd bytes\r\n17:00:02\tInfo\tDev\tLast\r\n' >>"$log"
sleep 1.5
check_eq "the lines after NUL and odd bytes still appear" "Last" "$(rows | head -1 | cut -f4)"
check_eq "the odd-byte line is a row of its own" "Odd bytes" "$(rows | sed -n 2p | cut -f4)"
check_eq "the NUL line is a row, its text cut at the NUL" "NUL" "$(rows | sed -n 3p | cut -f4)"
check "the monitor is still there" drv wait-visible "$monitor" 1000
check_eq "no critical error" 0 "$(drv count "Critical Error")"

drv close "$ZLV_TITLE" >/dev/null
check "the manager closes" drv gone "$ZLV_TITLE" 10000
zlv_finish
