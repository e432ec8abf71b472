#!/usr/bin/env bash
# Drives the Clipboard commands of the built program under its own virtual X
# server. Another program (xclip) owns a text on the X Clipboard; Extract
# addresses from Clipboard, chosen through the Extract menu, merges what it
# finds into an opened list, which is then saved under a new name: the saved
# bytes must be what the core makes of the same text. Then the Add, Modify,
# Find and group size dialogs are opened through their menus and shown in
# screenshots, the group size is set to 2, and two group copies walk the end
# of the list: another program reads each back from the Clipboard, byte for
# byte, CR LF included.
#
# Usage: clipboard_e2e.sh ZOFRIN LIST_HELPER OUTPUT_FOLDER ZOFRIN_CLI
# Exit status 77 (skipped) when Xvfb, xdotool or xclip is missing.
set -euo pipefail

zofrin=$1
helper=$2
output=$3
cli=$4

if ! command -v xclip >/dev/null; then
  echo "SKIP: xclip is not installed"
  exit 77
fi

source "$(dirname "${BASH_SOURCE[0]}")/e2e_common.sh"
shots=(e2e-clipboard-add.png e2e-clipboard-modify.png e2e-clipboard-find.png
  e2e-clipboard-group-size.png e2e-clipboard-exhausted.png)
for shot in "${shots[@]}"; do rm -f "$output/$shot" "$output/full-$shot"; done

# xclip runs in the foreground (-quiet) so that it can be ended by its id;
# it also ends by itself once another program takes the Clipboard.
xclip_pid=
trap 'if [ -n "$xclip_pid" ]; then kill "$xclip_pid" 2>/dev/null || true; fi; cleanup' EXIT

# Checks the Clipboard's text against the bytes of file $1.
expect_clipboard() {
  xclip -o -selection clipboard >"$work/clipboard.out" || fail "the Clipboard holds no text"
  echo "Clipboard:"
  od -c "$work/clipboard.out"
  cmp "$work/clipboard.out" "$1" || {
    echo "expected:" >&2
    od -c "$1" >&2
    fail "the Clipboard does not hold what the core predicts ($2)"
  }
}

# Opens a dialog through the keys $2 of the menu, waits for the window
# captioned $1, takes screenshot $3 cropped to it, and leaves its id in
# $dialog.
open_dialog() {
  xdotool windowfocus --sync "$main"
  xdotool key --delay 100 $2
  dialog=$(find_window "^$1\$") || true
  [ -n "$dialog" ] || fail "the dialog \"$1\" did not appear"
  xdotool windowfocus --sync "$dialog"
  sleep 0.3
  shot "$dialog" "$3"
}

lists="$work/lists"
mkdir -p "$lists"
"$helper" make "$lists/start.lse" ann@example.com bob@example.org carl@example.net
cp "$lists/start.lse" "$work/start.orig"

# A text with an address the list holds (twice), letter-case twins, a
# sentence-ending dot, an 8-bit and a non-Latin character before addresses,
# and an address after a zero byte, which ends the text.
printf '%s\r\n' \
  'Hello,' \
  'please write to Eve@Example.com or eve@example.com, and to bob@example.org.' \
  'Copies: ann@example.com; ann@example.com' \
  'café: cafézed@example.net, 中kim@example.com' >"$work/clip.txt"
printf 'hidden\000 hidden@example.com\r\n' >>"$work/clip.txt"
xclip -quiet -selection clipboard -i "$work/clip.txt" >"$work/xclip.log" 2>&1 &
xclip_pid=$!
wait_for 'xclip -o -selection clipboard >/dev/null 2>&1' 50 ||
  fail "xclip did not take the Clipboard"

start_zofrin "$lists/start.lse"
main=$(find_window '^start\.lse - Zofrin$') || true
[ -n "$main" ] || fail "the main window did not appear"

# Extract > Extract addresses from Clipboard.
xdotool windowfocus --sync "$main"
xdotool key --delay 100 alt+x r

# File > Save As..., the full path typed.
xdotool key --delay 100 alt+f a
box=$(find_window '^Save As$') || true
[ -n "$box" ] || fail "the Save As dialog did not appear"
xdotool windowfocus --sync "$box"
sleep 0.3
xdotool key ctrl+a
xdotool type --delay 20 "$lists/saved"
xdotool key Return
find_window '^saved\.LSE - Zofrin$' >/dev/null || fail "the list was not saved as saved.LSE"

# What the core predicts: the same text merged address by address into the
# same list.
cp "$work/start.orig" "$work/expected.lse"
"$cli" extract --into "$work/expected.lse" <"$work/clip.txt"
cmp "$lists/saved.LSE" "$work/expected.lse" || fail "saved.LSE is not what the core predicts"
mapfile -t sorted < <("$cli" list --sorted "$lists/saved.LSE")
echo "saved list: ${sorted[*]}"
[ "${#sorted[@]}" = 8 ] || fail "the list holds ${#sorted[@]} addresses, not 8"
[[ " ${sorted[*]} " != *" hidden@example.com "* ]] || fail "the text was not cut at its zero byte"

# A click in the list gives it the focus; End and three times Up select the
# fifth of the eight items alone.
xdotool windowfocus --sync "$main"
eval "$(xdotool getwindowgeometry --shell "$main")"
xdotool mousemove --window "$main" $((WIDTH / 3)) $((HEIGHT / 2)) click 1
xdotool key --delay 50 End Up Up Up

# The four dialogs, each from its menu; Esc closes them without effect.
open_dialog 'Add new Email adress' 'alt+e a' e2e-clipboard-add.png
xdotool key Escape
closed '^Add new Email adress$'
open_dialog 'Modify Email address' 'alt+e m' e2e-clipboard-modify.png
xdotool key Escape
closed '^Modify Email address$'
open_dialog 'Find Email address' 'alt+s f' e2e-clipboard-find.png
xdotool key Escape
closed '^Find Email address$'
# The group size: 2, typed over the selected 50.
open_dialog 'Size of address group' 'alt+i s' e2e-clipboard-group-size.png
xdotool key --delay 50 Tab Tab ctrl+a
xdotool type --delay 20 2
xdotool key Return
closed '^Size of address group$'

# Insert > Copy group to Clipboard: the fifth and sixth items, the third
# group of two; the seventh is selected next.
xdotool windowfocus --sync "$main"
xdotool key --delay 100 alt+i g
"$cli" export --group-size 2 --group 3 "$lists/saved.LSE" >"$work/group3.txt"
wait_for 'xclip -o -selection clipboard 2>/dev/null | cmp -s - "$work/group3.txt"' 50 || true
expect_clipboard "$work/group3.txt" "group 3"

# Insert > Copy group (with commas): the last two items, then the message
# that the list is exhausted.
xdotool key --delay 100 alt+i r
message=$(find_window '^Information$') || true
[ -n "$message" ] || fail "no message after the last group"
shot "$message" e2e-clipboard-exhausted.png
xdotool windowfocus --sync "$message"
xdotool key Return
closed '^Information$'
"$cli" export --commas --group-size 2 --group 4 "$lists/saved.LSE" >"$work/group4.txt"
expect_clipboard "$work/group4.txt" "group 4 with commas"
[ "$(tail -c 3 "$work/clipboard.out" | od -An -c | tr -d ' ')" = ',\r\n' ] ||
  fail "the last address does not end with a comma and CR LF"

# Nothing is selected now: Copy group asks for a start and copies nothing.
xdotool windowfocus --sync "$main"
xdotool key --delay 100 alt+i g
message=$(find_window '^Information$') || true
[ -n "$message" ] || fail "no start message"
xdotool windowfocus --sync "$message"
xdotool key Return
closed '^Information$'
expect_clipboard "$work/group4.txt" "unchanged after the start message"

# File > Exit: the dialogs and copies changed nothing, so no prompt.
xdotool windowfocus --sync "$main"
xdotool key --delay 100 alt+f x
wait_exit
[ "$status" = 0 ] || { cat "$work/zofrin.log" >&2; fail "the program ended with status $status"; }
cmp "$lists/saved.LSE" "$work/expected.lse" || fail "saved.LSE changed after it was saved"
cmp "$lists/start.lse" "$work/start.orig" || fail "start.lse changed"

echo "PASS"
