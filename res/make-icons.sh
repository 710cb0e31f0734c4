#!/bin/bash
# Draws the program's icons with ImageMagick; the .ico files are committed.
set -e
cd "$(dirname "$0")"
draw_z() {  # size, background, output png: a white Z with a yellow vane tip
  local s=$1 bg=$2 out=$3
  local z dot
  z=$(echo "7 7 25 7 25 11 13 21 25 21 25 25 7 25 7 21 19 11 7 11" |
    awk -v s="$s" '{ for (i = 1; i <= NF; i += 2) printf "%d,%d ", $i * s / 32, $(i + 1) * s / 32 }')
  dot=$(awk -v s="$s" 'BEGIN { printf "%d,%d %d,%d", 26 * s / 32, 5 * s / 32, 29 * s / 32, 5 * s / 32 }')
  convert -size "${s}x${s}" xc:none -fill "$bg" \
    -draw "roundrectangle 0,0 $((s - 1)),$((s - 1)) $((s / 6)),$((s / 6))" \
    -fill white -draw "polygon $z" -fill '#ffcc33' -draw "circle $dot" "$out"
}
tmp=$(mktemp -d)
draw_z 32 '#1f5fa8' $tmp/m32.png; draw_z 16 '#1f5fa8' $tmp/m16.png
convert $tmp/m16.png $tmp/m32.png manager.ico
convert $tmp/m16.png tray.ico
# Install As: a key on a green tile.
convert -size 16x16 xc:none -fill '#2e7d32' -draw 'roundrectangle 0,0 15,15 3,3' \
  -fill '#ffd54f' -draw 'circle 5,8 8,8' -draw 'rectangle 8,7 14,9' -draw 'rectangle 12,9 13,11' \
  -fill '#2e7d32' -draw 'point 5,8' $tmp/i16.png
convert $tmp/i16.png installas.ico
# Log monitor: a ruled page.
convert -size 16x16 xc:none -fill white -stroke '#455a64' -draw 'rectangle 2,0 13,15' \
  -stroke '#1f5fa8' -draw 'line 4,4 11,4' -draw 'line 4,7 11,7' -draw 'line 4,10 11,10' -draw 'line 4,13 9,13' \
  $tmp/l16.png
convert $tmp/l16.png -size 32x32 monitor.ico
rm -rf $tmp
