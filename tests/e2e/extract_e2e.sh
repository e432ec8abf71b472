#!/usr/bin/env bash
# Drives the extraction from files of the built program under its own
# virtual X server, with the keyboard only. An opened list gets the
# addresses of three files: the dialog is opened through the Extract menu,
# the files are chosen in the file dialog by typing their folder and then
# their names, Extract fills the review list (a screenshot shows it with a
# few hundred addresses), Enter in the list presses Transfer, and the list is
# saved under a new name. The saved bytes must be what the core makes of
# the same files: the review list's addresses, in its sorted order, merged
# into the opened list.
#
# Usage: extract_e2e.sh ZOFRIN LIST_HELPER OUTPUT_FOLDER ZOFRIN_CLI
# Exit status 77 (skipped) when Xvfb or xdotool is missing.
set -euo pipefail

zofrin=$1
helper=$2
output=$3
cli=$4

source "$(dirname "${BASH_SOURCE[0]}")/e2e_common.sh"
rm -f "$output"/e2e-extract-dialog.png "$output"/full-e2e-extract-dialog.png

# --- the list and the files -------------------------------------------------
lists="$work/lists"
files="$work/files with blanks"
mkdir -p "$lists" "$files"
"$helper" make "$lists/start.lse" ann@example.com bob@example.org carl@example.net
cp "$lists/start.lse" "$work/start.orig"

# An address the list holds, a letter-case twin of another, one address
# three times, and one split by the 512-byte block boundary.
{
  printf 'To: ann@example.com, Bob@example.org\ncc: dora@example.com dora@example.com\n'
  printf '%*s' 421 ''
  printf 'reply to eve.long-name@example.co.uk please; dora@example.com\n'
} >"$files/a.txt"
cat >"$files/b.html" <<'EOF'
<html><body><p>Write to <a href="mailto:fay@example.net">fay@example.net</a>
or to &lt;gus_1@example.org&gt;.</p></body></html>
EOF
# A few hundred more, in an order the list does not keep.
names=(Name name)
for ((i = 299; i >= 0; i--)); do
  printf 'member %03d: user%03d.%s@example%d.com\n' "$i" "$i" "${names[i % 2]}" $((i % 7))
done >"$files/many.txt"

start_zofrin "$lists/start.lse"
main=$(find_window '^start\.lse - Zofrin$') || true
[ -n "$main" ] || fail "the main window did not appear"

# --- Extract > Extract adresses from files... ------------------------------
xdotool windowfocus --sync "$main"
xdotool key --delay 100 alt+x t
caption='^Extracting Email addresses from files\.\.\.$'
dialog=$(find_window "$caption") || true
[ -n "$dialog" ] || fail "the extraction dialog did not appear"
xdotool windowfocus --sync "$dialog"

# Transfer has the focus; Tab twice reaches Select.
xdotool key --delay 100 Tab Tab space
chooser=$(find_window '^Open$') || true
[ -n "$chooser" ] || fail "the file dialog did not appear"
xdotool windowfocus --sync "$chooser"
sleep 0.3
# The folder first, then the three names, each in quotes.
xdotool type --delay 20 "$files/"
xdotool key Return
sleep 0.5
xdotool type --delay 20 '"a.txt" "b.html" "many.txt"'
xdotool key Return
closed '^Open$'

# From Select, five Tabs reach Extract.
xdotool windowfocus --sync "$dialog"
xdotool key --delay 100 Tab Tab Tab Tab Tab space
sleep 0.5
shot "$dialog" "e2e-extract-dialog.png"

# Two Tabs reach the addresses list; Enter there presses Transfer.
xdotool key --delay 100 Tab Tab Return
closed "$caption"

# --- File > Save As..., then File > Exit --------------------------------------
xdotool windowfocus --sync "$main"
xdotool key --delay 100 alt+f a
saveas=$(find_window '^Save As$') || true
[ -n "$saveas" ] || fail "the Save As dialog did not appear"
xdotool windowfocus --sync "$saveas"
xdotool key ctrl+a
xdotool type --delay 20 "$lists/saved.lse"
xdotool key Return
find_window '^saved\.lse - Zofrin$' >/dev/null || fail "the list was not saved as saved.lse"

xdotool windowfocus --sync "$main"
xdotool key --delay 100 alt+f x
wait_exit
[ "$status" = 0 ] || { cat "$work/zofrin.log" >&2; fail "the program ended with status $status"; }

# --- what the core predicts ---------------------------------------------------
# The review list shows the addresses sorted; Transfer merges them in that
# order into the opened list.
cp "$work/start.orig" "$work/expected.lse"
"$cli" extract --sorted "$files/a.txt" "$files/b.html" "$files/many.txt" >"$work/reviewed.txt"
echo "review list: $(wc -l <"$work/reviewed.txt") addresses"
"$cli" extract --into "$work/expected.lse" <"$work/reviewed.txt"
cmp "$lists/saved.lse" "$work/expected.lse" || {
  "$cli" list "$lists/saved.lse" >"$work/saved.txt" || true
  "$cli" list "$work/expected.lse" >"$work/expected.txt" || true
  diff "$work/expected.txt" "$work/saved.txt" >&2 || true
  fail "saved.lse is not what the core predicts"
}
cmp "$lists/start.lse" "$work/start.orig" || fail "start.lse changed"
[ "$(wc -l <"$work/reviewed.txt")" = 309 ] || fail "the files do not hold the 309 addresses planned"

echo "PASS"
