#!/usr/bin/env bash
# Makes the guide's pictures from the built program under a virtual X server:
# the main window with a list, and the lists dialog with all three lists.
#
# Usage: resources/help/make_screenshots.sh [BUILD_FOLDER]   (default: build)
# Needs Xvfb, xdotool and ImageMagick (./build.sh run installs them).
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/../.." && pwd)
build=$(cd "${1:-$top/build}" && pwd)
zofrin=$build/app/zofrin
cli=$build/cli/zofrin-cli
output=$here
source "$top/tests/e2e/e2e_common.sh"

lists="$work/lists"
mkdir -p "$lists"
members=(anna.berg@example.com Ben.Okafor@mail.example.org carla.rossi@example.net
  d.novak@example.com elif.kaya@posta.example.com Finn_Larsen@example.dk
  george.adams@example.co.uk hana.sato@example.jp ivan.petrov@example.ru
  jo-ann.smith@example.com karim.haddad@example.fr lena.fischer@example.de
  marco.bianchi@example.it nadia.el-amin@example.com olga.ivanova@example.net
  pablo.garcia@example.es quinn.taylor@example.ca rosa.lima@example.br
  sven.berg@example.se tomas.novak@example.cz ursula.keller@example.ch
  victor.hugo@example.fr wen.li@example.cn yusuf.demir@example.com.tr
  zoe.martin@example.org)
left=(Ben.Okafor@mail.example.org d.novak@example.com Finn_Larsen@example.dk
  pablo.garcia@example.es)
"$cli" add "$lists/members.lse" "${members[@]}" >/dev/null
"$cli" add "$lists/unsubscribed.lse" "${left[@]}" noreply@example.com >/dev/null


# A click at a place of the lists dialog given in its layout units.
click() {
  eval "$(xdotool getwindowgeometry --shell "$dialog")"
  xdotool mousemove --window "$dialog" $(((2 * $1 + $3) * WIDTH / 728)) \
    $(((2 * $2 + $4) * HEIGHT / 420)) click 1
}


capture() {
  eval "$(xdotool getwindowgeometry --shell "$1")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$output/$2"
  echo "picture: $output/$2"
}

start_zofrin "$lists/members.lse"
main=$(find_window '^members\.lse - Zofrin$') || true
[ -n "$main" ] || fail "the main window did not appear"
focus "$main"
eval "$(xdotool getwindowgeometry --shell "$main")"
xdotool mousemove --window "$main" $((WIDTH / 3)) $((HEIGHT / 2)) click 1
xdotool key --delay 50 Home Down Down shift+Down shift+Down
xdotool mousemove --window "$main" $((WIDTH - 5)) $((HEIGHT - 5))
sleep 0.3
capture "$main" main-window.png

xdotool key --delay 100 alt+l o
dialog=$(find_window '^Operations with lists\.\.\.$') || true
[ -n "$dialog" ] || fail "the lists dialog did not appear"
focus "$dialog"
xdotool key --delay 100 Tab Tab Return
open_file "$lists/members.lse"
for ((try = 0; try < 5; try++)); do
  click 141 190 31 14  # Load... of List 2
  if wait_for "xdotool search --onlyvisible --name '^Open\$' >/dev/null" 20; then break; fi
done
open_file "$lists/unsubscribed.lse"
focus "$dialog"
click 110 74 27 14  # "-"
sleep 0.5
capture "$dialog" lists-dialog.png
