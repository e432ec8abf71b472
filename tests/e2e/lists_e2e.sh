#!/usr/bin/env bash
# Drives the lists dialog of the built program under its own virtual X
# server as a person would: opens it through the Lists menu, loads two list
# files through the open-file dialog (the first reached with Tab and Enter
# from the focused Transfer button, the second with the mouse), presses "-",
# transfers List 3 into the main list, saves it under a new name and quits.
# The saved bytes must be what the core makes of the same steps: the
# difference of the two files, merged address by address in List 3's order
# into the original list.
#
# Usage: lists_e2e.sh ZOFRIN LIST_HELPER OUTPUT_FOLDER ZOFRIN_CLI
# Exit status 77 (skipped) when Xvfb or xdotool is missing.
set -euo pipefail

zofrin=$1
helper=$2
output=$3
cli=$4

source "$(dirname "${BASH_SOURCE[0]}")/e2e_common.sh"
rm -f "$output"/e2e-lists-dialog.png "$output"/e2e-lists-dialog-full.png

lists="$work/lists"
mkdir -p "$lists"
# The main list; List 1 shares two of its addresses (one in other letter
# case) and holds enough addresses to fill buckets of the set; List 2 takes
# some of them away.
"$helper" make "$lists/main.lse" ann@example.com carl@example.net eve@example.com \
  user07@example.com
first=(Ann@example.com carl@example.net gone@example.org Zed@example.com
  a.rather.long.local.part.that.runs.on@a-long-domain-name.example.com)
second=(gone@example.org other@example.net)
for ((i = 0; i < 30; i++)); do
  first+=("$(printf 'user%02d@example.com' "$i")")
  if ((i % 4 == 0)); then second+=("$(printf 'user%02d@example.com' "$i")"); fi
done
"$helper" make "$lists/first.lse" "${first[@]}"
"$helper" make "$lists/second.lse" "${second[@]}"
cp "$lists/main.lse" "$work/main.orig"

start_zofrin "$lists/main.lse"
main=$(find_window '^main\.lse - Zofrin$') || true
[ -n "$main" ] || fail "the main window did not appear"

# Gives a window the keyboard (no window manager does it) and lets the
# program take the focus-in before any key arrives.

# Clicks the dialog's control at x, y, width, height in dialog units (the
# dialog is 364 x 210 of them); pixels follow from the dialog's size.
click() {
  eval "$(xdotool getwindowgeometry --shell "$dialog")"
  xdotool mousemove --window "$dialog" $(((2 * $1 + $3) * WIDTH / 728)) \
    $(((2 * $2 + $4) * HEIGHT / 420)) click 1
}

# Clicks the control given after the condition in $1 until that holds: a
# click that comes while the dialog is still settling after a closed file
# dialog can go unseen. Every click used here can be repeated harmlessly.
click_until() {
  local condition=$1
  shift
  for ((try = 0; try < 5; try++)); do
    click "$@"
    if wait_for "$condition" 20; then return 0; fi
  done
  return 1
}

# Types a full path into the open-file dialog and takes it.

# Lists > Lists operations...
focus "$main"
xdotool key --delay 100 alt+l o
dialog=$(find_window '^Operations with lists\.\.\.$') || true
[ -n "$dialog" ] || fail "the lists dialog did not appear"

# The focus starts on Transfer; the tab order goes on with Cancel and
# Load... of List 1, and Enter presses the focused button.
focus "$dialog"
xdotool key --delay 100 Tab Tab Return
open_file "$lists/first.lse"
# Load... of List 2.
click_until "xdotool search --onlyvisible --name '^Open\$' >/dev/null" 141 190 31 14 ||
  fail "Load... of List 2 did not open the file dialog"
open_file "$lists/second.lse"
# The file dialog's name completer can swallow the first click after it
# closed; "/" with nothing selected in List 1 answers with its message, which
# shows that clicks arrive again.
click_until "xdotool search --onlyvisible --name '^Information\$' >/dev/null" 110 108 27 14 ||
  fail "\"/\" with nothing selected showed no message"
box=$(find_window '^Information$')
focus "$box"
xdotool key Return
wait_for "! xdotool search --onlyvisible --name '^Information\$' >/dev/null" 50 ||
  fail "the message of \"/\" did not close"
click 110 74 27 14  # "-"
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$dialog")"
screenshot "e2e-lists-dialog-full.png"
if command -v convert >/dev/null; then
  convert "$output/e2e-lists-dialog-full.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage \
    "$output/e2e-lists-dialog.png"
fi

# Transfer.
click_until "! xdotool search --onlyvisible --name '^Operations with lists' >/dev/null" \
  325 190 33 14 || fail "Transfer did not close the lists dialog"

# File > Save As..., a name without extension: the dialog adds ".LSE".
focus "$main"
xdotool key --delay 100 alt+f a
box=$(find_window '^Save As$') || true
[ -n "$box" ] || fail "the Save As dialog did not appear"
focus "$box"
xdotool key ctrl+a
xdotool type --delay 20 "$lists/saved"
xdotool key Return
find_window '^saved\.LSE - Zofrin$' >/dev/null || fail "the list was not saved as saved.LSE"

focus "$main"
xdotool key --delay 100 alt+f x
wait_exit
[ "$status" = 0 ] || { cat "$work/zofrin.log" >&2; fail "the program ended with status $status"; }

# What the core predicts: List 3 is the difference, shown sorted; Transfer
# merges it in that order into the original list.
"$cli" difference "$lists/first.lse" "$lists/second.lse" -o "$work/difference.lse"
mapfile -t list3 < <("$cli" list --sorted "$work/difference.lse")
echo "List 3: ${#list3[@]} addresses"
[ "${#list3[@]}" = $((${#first[@]} - ${#second[@]} + 1)) ] ||
  fail "the difference holds ${#list3[@]} addresses"
cp "$work/main.orig" "$work/expected.lse"
"$cli" add --force "$work/expected.lse" "${list3[@]}" >/dev/null
cmp "$lists/saved.LSE" "$work/expected.lse" || fail "saved.LSE is not what the core predicts"
cmp "$lists/main.lse" "$work/main.orig" || fail "main.lse changed"

echo "PASS"
