#!/bin/bash
# The manager window as a user meets it: layout, the first state, Install,
# Start and Stop from the buttons, and the placement kept across a restart.
source "$(dirname "$0")/lib.sh" "$1"
zlv_reset

zlv_start
check "the window appears" drv wait-visible "$ZLV_TITLE" 20000
check_eq "first status line" "Service is not installed" "$(drv status "$ZLV_TITLE")"

dpi=$(drv dpi "$ZLV_TITLE")
px() { echo $((($1 * dpi + 720) / 1440)); }
controls=$(drv controls "$ZLV_TITLE")
while IFS='|' read -r caption left top width; do
  row=$(echo "$controls" | awk -F'\t' -v c="$caption" '$1 == "Button" && $8 == c')
  check_eq "button $caption" "$(px "$left") $(px "$top") $(px "$width")" \
    "$(echo "$row" | awk -F'\t' '{ print $4, $5, $6 }')"
done <<'TABLE'
Install|90|90|972
Install As|90|540|972
Uninstall|90|990|972
Start|1140|90|972
Stop|1140|540|972
Show|2220|90|972
Hide|3240|90|972
Remote access|2220|540|1995
Monitor InfoLog file|2220|990|1995
TABLE
check_eq "tab order of the buttons" \
  "Install,Install As,Uninstall,Start,Stop,Show,Hide,Remote access,Monitor InfoLog file" \
  "$(echo "$controls" | awk -F'\t' '$1 == "Button" { printf "%s%s", sep, $8; sep = "," }')"

read -r left top width height _ cw ch <<<"$(drv rect "$ZLV_TITLE")"
check_eq "client area 4275 x 1800 twips" "$(px 4275) $(px 1800)" "$cw $ch"
centre_left=$(((1024 - width) / 2))
centre_top=$(((768 - height) / 2))
check "centred on a first start ($left,$top vs $centre_left,$centre_top)" \
  test $((left - centre_left)) -ge -1 -a $((left - centre_left)) -le 1 -a \
  $((top - centre_top)) -ge -1 -a $((top - centre_top)) -le 1

drv click "$ZLV_TITLE" Install >/dev/null
check "Install tells its outcome" drv wait-status "$ZLV_TITLE" "Service installed successfully" 20000
check "the service exists" zlv_service_installed
check "its program is the stand-in, quoted" \
  test "$(zlv_service_value ImagePath)" == '"C:\Zemlo\Linkvane_Service.exe"'

drv click "$ZLV_TITLE" Start >/dev/null
check "Start runs the service" drv wait-status "$ZLV_TITLE" "Service is Running" 30000
drv click "$ZLV_TITLE" Stop >/dev/null
check "Stop stops it" drv wait-status "$ZLV_TITLE" "Service is Stopped" 30000

check_eq "nothing saved while running" "" "$(zlv_ini_value "Display Options" State)"
drv close "$ZLV_TITLE" >/dev/null
check "the window closes" drv gone "$ZLV_TITLE" 10000
check_eq "close saves Top" "$((top * 1440 / dpi))" "$(zlv_ini_value "Display Options" Top)"
check_eq "close saves Left" "$((left * 1440 / dpi))" "$(zlv_ini_value "Display Options" Left)"
check_eq "close saves State" "0" "$(zlv_ini_value "Display Options" State)"

# A hand-edited place is where the next start comes up.
printf '[Display Options]\r\nTop=1500\r\nLeft=3000\r\nState=0\r\n' >"$ZLV_INI"
zlv_start
check "the window comes back" drv wait-visible "$ZLV_TITLE" 20000
read -r left2 top2 _ <<<"$(drv rect "$ZLV_TITLE")"
check_eq "restored place" "$(px 3000) $(px 1500)" "$left2 $top2"
check_eq "the stopped state is polled" "Service is Stopped" "$(drv status "$ZLV_TITLE")"
drv close "$ZLV_TITLE" >/dev/null
drv gone "$ZLV_TITLE" 10000 >/dev/null
zlv_finish
