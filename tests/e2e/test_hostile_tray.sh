#!/bin/bash
# The tray icon survives a taskbar restart; each way of closing (close box,
# tray menu, end of session) leaves exactly the settings it should, and no
# other byte.
source "$(dirname "$0")/lib.sh" "$1"
zlv_reset
fault() { timeout 30 wine "$ZLV_TESTBIN/zlvfault.exe" "$@" 2>/dev/null | tr -d '\r'; }

zlv_start -MINIMIZE
drv wait "$ZLV_TITLE" 20000 >/dev/null
sleep 1
icons=$(fault trayicons)
if [ "$icons" -lt 1 ]; then
  echo "skip - no Wine system tray window with icon children to count ($icons)"
else
  fault untray "$ZLV_TITLE"
  sleep 0.5
  check_eq "the icon is taken away as a taskbar restart would" "$((icons - 1))" "$(fault trayicons)"
  drv message "$ZLV_TITLE" TaskbarCreated >/dev/null
  sleep 0.5
  check_eq "TaskbarCreated re-adds it" "$icons" "$(fault trayicons)"
fi

# Close from the tray: State 1 only, the position saved earlier stays.
printf '[Display Options]\r\nTop=1440\r\nLeft=2880\r\nState=1\r\n' >"$ZLV_INI"
check "Close Manager from the tray" drv menu "$ZLV_TITLE" down down enter
check "the manager ends" drv gone "$ZLV_TITLE" 10000
check_eq "the tray close keeps the file as it was, State 1" \
  "$(printf '[Display Options]\r\nTop=1440\r\nLeft=2880\r\nState=1\r\n' | od -c)" "$(od -c <"$ZLV_INI")"

# The close box in the normal state: the place and State 0, nothing else.
printf '[Display Options]\r\nTop=1440\r\nLeft=2880\r\nState=0\r\n' >"$ZLV_INI"
zlv_start
drv wait-visible "$ZLV_TITLE" 20000 >/dev/null
drv close "$ZLV_TITLE" >/dev/null
check "the close box ends the manager" drv gone "$ZLV_TITLE" 10000
check_eq "the close box writes the same place back, byte for byte" \
  "$(printf '[Display Options]\r\nTop=1440\r\nLeft=2880\r\nState=0\r\n' | od -c)" "$(od -c <"$ZLV_INI")"

# The end of the session while in the tray, starting from no file at all.
rm -f "$ZLV_INI"
zlv_start -MINIMIZE
drv wait "$ZLV_TITLE" 20000 >/dev/null
sleep 1
drv endsession "$ZLV_TITLE" >/dev/null
for _ in $(seq 50); do [ -s "$ZLV_INI" ] && break; sleep 0.1; done
check_eq "the end of the session in the tray writes State 1 only" \
  "$(printf '[Display Options]\r\nState=1\r\n' | od -c)" "$(od -c <"$ZLV_INI")"
zlv_finish
