#!/bin/bash
# "Remote access": a running service is stopped first when the user agrees,
# the desktop program starts in the application folder; No starts nothing.
source "$(dirname "$0")/lib.sh" "$1"
zlv_reset
box="#32770:$ZLV_TITLE"
launched="$ZLV_APPDIR/launched.txt"
box_says() { drv dialog "$box" | grep -qF "$1"; }
launches() { grep -c '^started' "$launched" 2>/dev/null || echo 0; }

zlv_start
drv wait-visible "$ZLV_TITLE" 20000 >/dev/null
drv click "$ZLV_TITLE" Start >/dev/null
check "the service runs" drv wait-status "$ZLV_TITLE" "Service is Running" 30000

drv click "$ZLV_TITLE" "Remote access" >/dev/null
check "the question appears" drv wait-visible "$box" 10000
check "it asks to stop the service" box_says "The service needs to be stopped before running interactive mode."
drv click "$box" "&No" >/dev/null
sleep 2
check_eq "No starts nothing" 0 "$(launches)"
check_eq "and leaves the service running" "Service is Running" "$(drv status "$ZLV_TITLE")"

drv click "$ZLV_TITLE" "Remote access" >/dev/null
drv wait-visible "$box" 10000 >/dev/null
drv click "$box" "&Yes" >/dev/null
sleep 1
check "the reminder follows" box_says "Remember to start the service again when you have finished."
drv click "$box" OK >/dev/null
for _ in $(seq 50); do [ "$(launches)" -ge 1 ] && break; sleep 0.2; done
check_eq "the desktop program started once" 1 "$(launches)"
check "in the application folder" grep -q 'C:\\Zemlo' "$launched"
drv click "$ZLV_TITLE" Stop >/dev/null
check "the service was stopped" drv wait-status "$ZLV_TITLE" "Service is Stopped" 20000

drv click "$ZLV_TITLE" "Remote access" >/dev/null
for _ in $(seq 50); do [ "$(launches)" -ge 2 ] && break; sleep 0.2; done
check_eq "a stopped service: started at once, no question" 2 "$(launches)"
drv close "$ZLV_TITLE" >/dev/null
drv gone "$ZLV_TITLE" 10000 >/dev/null
zlv_finish
