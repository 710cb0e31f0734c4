#!/bin/bash
# The log monitor following InfoLog.txt: the rows the reading rules give,
# newest first; appended lines; a replaced shorter file; a fresh reopen; the
# placement kept across a restart.
source "$(dirname "$0")/lib.sh" "$1"
zlv_reset
monitor="Monitoring Linkvane InfoLog.txt"
log="$ZLV_APPDIR/InfoLog.txt"

# 120 entries with malformed lines among them, under 10000 bytes so the first
# read takes the whole file.
{
  for i in $(seq 1 120); do
    printf '10:%02d:%02d\tInfo\tDev%d\tEntry %d\r\n' $((i / 60)) $((i % 60)) "$i" "$i"
    case $((i % 30)) in
      7) printf 'three\tfields\tonly\r\n' ;;
      13) printf 'five\tfields\there\tone\ttoo many\r\n' ;;
      21) printf '\r\n' ;;
    esac
  done
} >"$log"
rows() { drv listview "$monitor" | tail -n +2; }

zlv_start
drv wait-visible "$ZLV_TITLE" 20000 >/dev/null
drv click "$ZLV_TITLE" "Monitor InfoLog file" >/dev/null
check "the monitor opens" drv wait-visible "$monitor" 10000
check_eq "the header" "$(printf 'Time\tPriority\tDevice\tDetails')" "$(drv listview "$monitor" | head -1)"
check_eq "exactly the four-field lines" 120 "$(rows | wc -l)"
check_eq "newest first" "Entry 120" "$(rows | head -1 | cut -f4)"
check_eq "oldest last" "Entry 1" "$(rows | tail -1 | cut -f4)"

printf '11:00:00\tWarn\tDevA\tAppended 1\r\n11:00:01\tWarn\tDevA\tAppended 2\r\n11:00:02\tWarn\tDevA\tpartial' >>"$log"
sleep 1.5
check_eq "appended lines appear within an interval" "Appended 2" "$(rows | head -1 | cut -f4)"
check_eq "a line still being written does not" 122 "$(rows | wc -l)"

printf '12:00:00\tInfo\tDevB\tNew file 1\r\n12:00:01\tInfo\tDevB\tNew file 2\r\n' >"$log.new"
mv "$log.new" "$log"
sleep 1.5
check_eq "a replaced shorter file is read whole, newest first" "New file 2,New file 1" \
  "$(rows | head -2 | cut -f4 | paste -sd,)"
check_eq "above the rows already shown" 124 "$(rows | wc -l)"

drv click "$ZLV_TITLE" "Monitor InfoLog file" >/dev/null
sleep 0.5
check_eq "pressing the button again keeps one window" 1 "$(drv count "$monitor")"
check_eq "and its rows" 124 "$(rows | wc -l)"

read -r mleft mtop mwidth mheight _ <<<"$(drv rect "$monitor")"
drv close "$monitor" >/dev/null
check "closing the monitor" drv gone "$monitor" 10000
check_eq "saves its state" 0 "$(zlv_ini_value "Log Monitor Options" State)"
drv click "$ZLV_TITLE" "Monitor InfoLog file" >/dev/null
drv wait-visible "$monitor" 10000 >/dev/null
check_eq "reopened fresh, from the first-read rule" "New file 2,New file 1" "$(rows | cut -f4 | paste -sd,)"

drv close "$ZLV_TITLE" >/dev/null
check "closing the manager closes the monitor too" drv gone "$monitor" 10000
drv gone "$ZLV_TITLE" 10000 >/dev/null
zlv_start
drv wait-visible "$ZLV_TITLE" 20000 >/dev/null
drv click "$ZLV_TITLE" "Monitor InfoLog file" >/dev/null
drv wait-visible "$monitor" 10000 >/dev/null
check_eq "the placement survives a restart" "$mleft $mtop $mwidth $mheight" \
  "$(drv rect "$monitor" | cut -d' ' -f1-4)"
drv close "$ZLV_TITLE" >/dev/null
drv gone "$ZLV_TITLE" 10000 >/dev/null
zlv_finish
