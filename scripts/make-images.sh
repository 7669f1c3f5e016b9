#!/usr/bin/env bash
# Draws the program's own indicator, arrow and lamp images (run once; the PNGs
# are committed). Needs ImageMagick.
set -euo pipefail
cd "$(dirname "$0")/../resources"
C=/usr/bin/convert
q=qss/psblack
mkdir -p "$q" image
draw() { # size file draw-args...
  local size=$1 out=$2; shift 2
  "$C" -size "${size}x${size}" xc:none "$@" -strip -define png:exclude-chunks=date,time "PNG32:$out"
}
# Radio buttons 15 px: ring, and a filled dot when checked.
for state in checked unchecked; do
  for dis in "" _disable; do
    ring="#242424"; dot="#1E90FF"; fill="#FFFFFF"
    [ -n "$dis" ] && ring="#808080" && dot="#9A9A9A" && fill="#E0E0E0"
    args=(-fill "$fill" -stroke "$ring" -strokewidth 1.2 -draw "circle 7,7 7,1")
    [ "$state" = checked ] && args+=(-fill "$dot" -stroke none -draw "circle 7,7 7,3.5")
    draw 15 "$q/radiobutton_${state}${dis}.png" "${args[@]}"
  done
done
# Check boxes 13 px: box, tick when checked, bar when partial.
for state in checked unchecked parcial; do
  for dis in "" _disable; do
    box="#242424"; mark="#1E90FF"; fill="#FFFFFF"
    [ -n "$dis" ] && box="#808080" && mark="#9A9A9A" && fill="#E0E0E0"
    args=(-fill "$fill" -stroke "$box" -strokewidth 1 -draw "rectangle 0.5,0.5 12.5,12.5")
    case $state in
      checked) args+=(-fill none -stroke "$mark" -strokewidth 2 -draw "polyline 3,6.5 5.5,9 10,3.5") ;;
      parcial) args+=(-fill "$mark" -stroke none -draw "rectangle 3,5 10,8") ;;
    esac
    draw 13 "$q/checkbox_${state}${dis}.png" "${args[@]}"
  done
done
# Arrows 10 px for spin boxes and combo boxes.
draw 10 "$q/add_top.png" -fill "#242424" -draw "polygon 1,7 9,7 5,2"
draw 10 "$q/add_bottom.png" -fill "#242424" -draw "polygon 1,3 9,3 5,8"
# Tree branches and calendar navigation, 16 px.
draw 16 "$q/branch_open.png" -fill "#DCDCDC" -draw "polygon 5,3 12,8 5,13"
draw 16 "$q/branch_close.png" -fill "#DCDCDC" -draw "polygon 3,5 13,5 8,12"
draw 16 "$q/calendar_prevmonth.png" -fill "#DCDCDC" -draw "polygon 11,3 4,8 11,13"
draw 16 "$q/calendar_nextmonth.png" -fill "#DCDCDC" -draw "polygon 5,3 12,8 5,13"
# Link lamp 24 px: green when a link is open, grey otherwise.
draw 24 image/led_on.png -fill "#1C9E3A" -stroke "#0E5A20" -strokewidth 1.5 -draw "circle 12,12 12,2" \
  -fill "#7CF29A" -stroke none -draw "circle 9,8 9,5.5"
draw 24 image/led_off.png -fill "#8A8A8A" -stroke "#4A4A4A" -strokewidth 1.5 -draw "circle 12,12 12,2" \
  -fill "#C8C8C8" -stroke none -draw "circle 9,8 9,5.5"
