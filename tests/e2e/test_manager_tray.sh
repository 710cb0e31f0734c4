#!/bin/bash
# The tray: a minimised start, the pop-up menu, restoring, closing from the
# tray and starting in the tray again.
source "$(dirname "$0")/lib.sh" "$1"
zlv_reset

zlv_start -MINIMIZE
check "the window exists" drv wait "$ZLV_TITLE" 20000
sleep 1
check_eq "-MINIMIZE starts hidden without a taskbar button" "hidden notaskbar" "$(drv state "$ZLV_TITLE")"

check "the tray menu installs the service" drv menu "$ZLV_TITLE" down down down right down down enter
for _ in $(seq 100); do zlv_service_installed && break; sleep 0.2; done
check "the service exists" zlv_service_installed
check_eq "still in the tray" "hidden notaskbar" "$(drv state "$ZLV_TITLE")"
check_eq "the status line was refreshed after the command" "Service is Stopped" "$(drv status "$ZLV_TITLE")"

check "Show Manager restores" drv menu "$ZLV_TITLE" down enter
check "the window is shown" drv wait-visible "$ZLV_TITLE" 10000
check_eq "restored in the normal state with its taskbar button" "normal taskbar" "$(drv state "$ZLV_TITLE")"

drv minimize "$ZLV_TITLE" >/dev/null
sleep 1
check_eq "minimising goes to the tray" "hidden notaskbar" "$(drv state "$ZLV_TITLE")"
drv message "$ZLV_TITLE" TaskbarCreated >/dev/null
drv tray "$ZLV_TITLE" 0x201 >/dev/null
sleep 0.5
check_eq "a single click does nothing" "hidden notaskbar" "$(drv state "$ZLV_TITLE")"
drv tray "$ZLV_TITLE" 0x203 >/dev/null
check "a double click restores" drv wait-visible "$ZLV_TITLE" 10000

drv minimize "$ZLV_TITLE" >/dev/null
sleep 1
check "Close Manager from the tray" drv menu "$ZLV_TITLE" down down enter
check "the manager ends" drv gone "$ZLV_TITLE" 10000
check_eq "closing from the tray saves only the state" "1" "$(zlv_ini_value "Display Options" State)"
check_eq "and no position" "" "$(zlv_ini_value "Display Options" Top)"

zlv_start
check "the next start" drv wait "$ZLV_TITLE" 20000
sleep 1
check_eq "comes up in the tray" "hidden notaskbar" "$(drv state "$ZLV_TITLE")"
drv endsession "$ZLV_TITLE" >/dev/null
check_eq "the end of the session saves the state" "1" "$(zlv_ini_value "Display Options" State)"
zlv_finish
