#!/usr/bin/env bash
# Zofrin at 200% scaling: the main window and the lists dialog grow to twice
# their size and are drawn whole. The screenshots go to the output folder to
# be looked at.
#
# Usage: scaling_e2e.sh ZOFRIN LIST_HELPER OUTPUT_FOLDER ZOFRIN_CLI
set -euo pipefail

zofrin=$1
helper=$2
output=$3

ZOFRIN_E2E_SCREEN=2200x1400x24
source "$(dirname "${BASH_SOURCE[0]}")/e2e_common.sh"
rm -f "$output"/e2e-scaled-*.png

"$helper" make "$work/list.lse" anna.berg@example.com Ben.Okafor@mail.example.org \
  carla.rossi@example.net d.novak@example.com elif.kaya@posta.example.com

# The window's size at a scale factor, with a screenshot at 2.
window_size() {
  QT_SCALE_FACTOR=$1 start_zofrin "$work/list.lse"
  main=$(find_window '^list\.lse - Zofrin$') || true
  [ -n "$main" ] || fail "the main window did not appear at scale $1"
  sleep 0.5
  eval "$(xdotool getwindowgeometry --shell "$main")"
  echo "scale $1: $WIDTH x $HEIGHT"
  size="$WIDTH $HEIGHT"
}

window_size 1
read -r width1 height1 <<<"$size"
kill "$app_pid"
wait "$app_pid" 2>/dev/null || true
app_pid=

window_size 2
read -r width2 height2 <<<"$size"
screenshot "e2e-scaled-main-window.png"
# Twice as large, give or take what rounding and fonts make of it.
((width2 * 10 >= width1 * 18 && width2 * 10 <= width1 * 22)) ||
  fail "the window is $width2 wide at 200%, $width1 at 100%"
((height2 * 10 >= height1 * 18 && height2 * 10 <= height1 * 22)) ||
  fail "the window is $height2 high at 200%, $height1 at 100%"

xdotool windowfocus --sync "$main"
sleep 0.3
xdotool key --delay 100 alt+l o
dialog=$(find_window '^Operations with lists\.\.\.$') || true
[ -n "$dialog" ] || fail "the lists dialog did not appear"
sleep 0.5
screenshot "e2e-scaled-lists-dialog.png"
echo "PASS"
