#!/usr/bin/env bash
# Drives the built program under its own virtual X server as a person would:
# opens a list of five addresses, selects the second item with the mouse and
# the keyboard, deletes it through the Edit menu, saves the list under a new
# name through the Save As dialog and quits; the saved bytes must be what
# the core makes of the same steps. Then a damaged list file given at
# start-up must show its message and end the program with a failure.
#
# Usage: main_window_e2e.sh ZOFRIN LIST_HELPER OUTPUT_FOLDER
# Exit status 77 (skipped) when Xvfb or xdotool is missing.
set -euo pipefail

zofrin=$1
helper=$2
output=$3

source "$(dirname "${BASH_SOURCE[0]}")/e2e_common.sh"
rm -f "$output"/e2e-selected.png "$output"/e2e-main-window.png "$output"/e2e-damaged-file.png

# --- open, select, delete, Save As, quit ----------------------------------
lists="$work/lists"
mkdir -p "$lists"
"$helper" make "$lists/five.lse" ann@example.com hugo@example.com eve@example.com \
  Bob@example.org carl@example.net
cp "$lists/five.lse" "$work/five.orig"

start_zofrin "$lists/five.lse"
main=$(find_window '^five\.lse - Zofrin$') || true
[ -n "$main" ] || fail "the main window did not appear"
eval "$(xdotool getwindowgeometry --shell "$main")"
echo "main window $WINDOW at $X,$Y, $WIDTH x $HEIGHT"
[ "$X,$Y" = "75,50" ] || fail "the main window is at $X,$Y, not at 75,50"

# A click in the list (the middle of the window is inside it) gives it the
# focus; Home and Down then select the second item alone.
xdotool windowfocus --sync "$main"
xdotool mousemove --window "$main" $((WIDTH / 3)) $((HEIGHT / 2)) click 1
xdotool key --delay 50 Home Down
screenshot "e2e-selected.png"
# Edit > Delete.
xdotool key --delay 100 alt+e d

# File > Save As..., the full path typed into the file name field, without
# an extension: the dialog adds ".LSE".
xdotool key --delay 100 alt+f a
dialog=$(find_window '^Save As$') || true
[ -n "$dialog" ] || fail "the Save As dialog did not appear"
xdotool windowfocus --sync "$dialog"
xdotool key ctrl+a
xdotool type --delay 20 "$lists/saved"
xdotool key Return
find_window '^saved\.LSE - Zofrin$' >/dev/null || fail "the list was not saved as saved.LSE"
screenshot "e2e-main-window.png"

# File > Exit: nothing unsaved, so no prompt. Without a window manager the
# focus does not come back by itself when the dialog closes.
xdotool windowfocus --sync "$main"
xdotool key --delay 100 alt+f x
wait_exit
[ "$status" = 0 ] || { cat "$work/zofrin.log" >&2; fail "the program ended with status $status"; }

deleted=$("$helper" delete "$work/five.orig" 1 "$work/expected.lse")
echo "deleted: $deleted"
cmp "$lists/saved.LSE" "$work/expected.lse" || fail "saved.LSE is not what the core predicts"
cmp "$lists/five.lse" "$work/five.orig" || fail "five.lse changed"
grep -qx "File1=$lists/saved.LSE" "$work/config/zofrin/zofrin.ini" ||
  fail "saved.LSE is not the first recent file"

# --- a damaged list file at start-up ---------------------------------------
printf '\001\000' >"$lists/damaged.lse"
start_zofrin "$lists/damaged.lse"
box=$(find_window '^Zofrin$') || true
[ -n "$box" ] || fail "no message for the damaged file"
if xdotool search --onlyvisible --name ' - Zofrin$' >/dev/null; then
  fail "a main window came up for the damaged file"
fi
screenshot "e2e-damaged-file.png"
xdotool windowfocus --sync "$box"
xdotool key Return
wait_exit
[ "$status" != 0 ] || fail "a damaged file at start-up ended the program with status 0"

echo "PASS"
