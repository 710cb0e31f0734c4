#!/bin/bash
# One-shot command-line runs: each option in any case and inside longer words
# runs its command and ends without a window, with an exit code scripts can use.
source "$(dirname "$0")/lib.sh" "$1"
zlv_reset
controls="$ZLV_APPDIR/controls.txt"
# Dependencies are listed by hand in the settings; one-shot runs never write the file.
printf '[Service Options]\r\nDependencies=RpcSs; PlugPlay\r\n' >"$ZLV_INI"
ini_before=$(md5sum <"$ZLV_INI")

run_code() { zlv_run "$@"; echo $?; }

check_eq "-install (lower case) reaches its goal" 0 "$(run_code -install)"
check "the service is registered" zlv_service_installed
check_eq "with the dependencies from the settings" "RpcSs\0PlugPlay" "$(zlv_service_value DependOnService)"
no_manager_window() { ! drv wait "$ZLV_TITLE" 500 >/dev/null; }
check "no window was left behind" no_manager_window
check_eq "-STARTUP runs the start command" 0 "$(run_code -STARTUP)"
check_eq "the started service was asked to show its window" "200" "$(tr -d '\r' <"$controls" 2>/dev/null | tail -1)"
check_eq "-Show on a running service" 0 "$(run_code /x -Show)"
check_eq "-HIDE on a running service" 0 "$(run_code -HIDE)"
check_eq "the service received 200, 200, 201" "200 200 201" "$(tr -d '\r' <"$controls" | grep -E '^20[01]$' | xargs)"
check_eq "-MINIMIZE -STOP stops and ends" 0 "$(run_code -MINIMIZE -STOP)"
check_eq "-INSTALL -START installs only" 0 "$(run_code -INSTALL -START)"
check_eq "the reinstalled service is not running" 0 "$(run_code -STOP)"
check_eq "-UNINSTALLNOW removes it" 0 "$(run_code -UNINSTALLNOW)"
service_gone() { ! zlv_service_installed; }
check "the service is gone" service_gone
check_eq "-STOP of a missing service misses its goal" 1 "$(run_code -STOP)"
check_eq "no settings were written by one-shot runs" "$ini_before" "$(md5sum <"$ZLV_INI")"

# A second copy without an ending option queries and ends silently.
zlv_start
drv wait-visible "$ZLV_TITLE" 20000 >/dev/null
check_eq "a second copy ends at once" 0 "$(run_code)"
check_eq "and writes no settings" "$ini_before" "$(md5sum <"$ZLV_INI")"
drv close "$ZLV_TITLE" >/dev/null
check "the first copy closes" drv gone "$ZLV_TITLE" 10000
zlv_finish
