#!/bin/bash
# The layout in twips holds at 120 and 144 DPI: buttons and client area scale
# with the screen's real DPI.
source "$(dirname "$0")/lib.sh" "$1"
# The prefix is shared: whatever happens here, later tests get 96 DPI back.
trap 'zlv_set_dpi 96' EXIT

for dpi in 120 144; do
  zlv_reset
  zlv_set_dpi "$dpi"
  zlv_start
  drv wait-visible "$ZLV_TITLE" 20000 >/dev/null
  check_eq "the screen reports $dpi DPI" "$dpi" "$(drv dpi "$ZLV_TITLE")"
  px() { echo $((($1 * dpi + 720) / 1440)); }
  controls=$(drv controls "$ZLV_TITLE")
  for button in "Install|90|90|972|375" "Hide|3240|90|972|375" "Monitor InfoLog file|2220|990|1995|375"; do
    IFS='|' read -r caption left top width height <<<"$button"
    check_eq "$caption at $dpi DPI" "$(px "$left") $(px "$top") $(px "$width") $(px "$height")" \
      "$(echo "$controls" | awk -F'\t' -v c="$caption" '$1 == "Button" && $8 == c { print $4, $5, $6, $7 }')"
  done
  check_eq "client area at $dpi DPI" "$(px 4275) $(px 1800)" "$(drv rect "$ZLV_TITLE" | cut -d' ' -f6-7)"
  drv close "$ZLV_TITLE" >/dev/null
  drv gone "$ZLV_TITLE" 10000 >/dev/null
done
zlv_finish
