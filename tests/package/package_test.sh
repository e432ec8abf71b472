#!/usr/bin/env bash
# Builds the Debian package, unpacks it into a throw-away root and checks
# what it installs: the files, the programs running from there, the manual
# pages, the desktop entry and the file type. Then, under a virtual X server,
# opening a list file the desktop's way (xdg-open) must start Zofrin with that
# list, and Zofrin's own start-up registration must stay away when the
# installed one names it, and fill in when none does.
#
# Usage: package_test.sh BUILD_FOLDER OUTPUT_FOLDER
# Exit status 77 (skipped) when a tool it needs is missing.
set -euo pipefail

build=$1
output=$2

for tool in cpack dpkg-deb man desktop-file-validate update-mime-database \
  update-desktop-database xdg-mime xdg-open mimetype; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is not installed"
    exit 77
  fi
done

zofrin=$build/app/zofrin
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/e2e_common.sh"

# --- the package and its files ---------------------------------------------
cpack --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack failed"; }
deb=$(ls "$work"/package/zofrin_*_amd64.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no package was made"
echo "package: $(basename "$deb")"
info=$(dpkg-deb --info "$deb")
grep -q 'Depends:.*libqt6widgets6' <<<"$info" || fail "the package does not depend on Qt"

root=$work/root
dpkg-deb -x "$deb" "$root"
for file in usr/bin/zofrin usr/bin/zofrin-cli \
  usr/share/applications/zofrin.desktop usr/share/mime/packages/zofrin.xml \
  usr/share/man/man1/zofrin.1.gz usr/share/man/man1/zofrin-cli.1.gz \
  usr/share/doc/zofrin/README.md \
  usr/share/icons/hicolor/48x48/apps/zofrin.png \
  usr/share/icons/hicolor/48x48/mimetypes/application-x-zofrin-list.png; do
  [ -s "$root/$file" ] || fail "the package lacks /$file"
done

help=$("$root/usr/bin/zofrin-cli" --help) || fail "zofrin-cli --help failed"
grep -q '^Usage: zofrin-cli' <<<"$help" || fail "zofrin-cli --help says no usage"
"$root/usr/bin/zofrin-cli" add "$work/some.lse" ann@example.com eve@example.com >/dev/null
[ "$("$root/usr/bin/zofrin-cli" list --count "$work/some.lse")" = 2 ] || fail "zofrin-cli list"

# The manual pages render without a warning.
for page in zofrin zofrin-cli; do
  file=$root/usr/share/man/man1/$page.1.gz
  warnings=$(MANWIDTH=80 man --warnings -l "$file" 2>&1 >/dev/null || true)
  [ -z "$warnings" ] || fail "man $page warns: $warnings"
  MANWIDTH=80 man -l "$file" 2>/dev/null | col -b >"$output/man-$page.txt"
  grep -q "^NAME" "$output/man-$page.txt" || fail "man $page shows no NAME section"
done
grep -q 'EXIT STATUS' "$output/man-zofrin-cli.txt" || fail "zofrin-cli(1) has no exit status"
grep -q 'ZOFRIN_NO_REGISTER' "$output/man-zofrin.txt" || fail "zofrin(1) lacks the environment"

desktop-file-validate "$root/usr/share/applications/zofrin.desktop" ||
  fail "the desktop entry is not valid"

# --- the desktop sees the installed file type and program ------------------
update-mime-database "$root/usr/share/mime"
update-desktop-database "$root/usr/share/applications"
export XDG_DATA_DIRS="$root/usr/share:/usr/share"
export XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config"
mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME"
export PATH="$root/usr/bin:$PATH"
printf 'x' >"$work/Upper.LSE"
[ "$(xdg-mime query filetype "$work/some.lse")" = application/x-zofrin-list ] ||
  fail "xdg-mime does not know *.lse"
[ "$(xdg-mime query filetype "$work/Upper.LSE")" = application/x-zofrin-list ] ||
  fail "xdg-mime does not know *.LSE"
[ "$(xdg-mime query default application/x-zofrin-list)" = zofrin.desktop ] ||
  fail "zofrin.desktop does not open list files"

# Opening a list file starts Zofrin with it. The installed entry names this
# same program, so Zofrin writes no registration of its own.
env -u ZOFRIN_NO_REGISTER -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work/runtime" \
  xdg-open "$work/some.lse" >"$work/xdg-open.log" 2>&1 &
app_pid=$!
window=$(find_window '^some\.lse - Zofrin$') || true
[ -n "$window" ] || { cat "$work/xdg-open.log" >&2; fail "xdg-open did not start Zofrin with the list"; }
screenshot "package-xdg-open.png"
[ ! -e "$XDG_DATA_HOME/applications/zofrin.desktop" ] ||
  fail "Zofrin registered itself although the installed entry is current"
kill "$app_pid" 2>/dev/null || true
pkill -f "$root/usr/bin/zofrin" 2>/dev/null || true
wait "$app_pid" 2>/dev/null || true
app_pid=

# A program that the installed entry does not name registers itself in the
# user's data folder, pointing at its own path.
export XDG_DATA_DIRS=/usr/share
env -u ZOFRIN_NO_REGISTER QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work/runtime" \
  "$zofrin" /p "$work/some.lse" || fail "zofrin /p failed"
entry=$XDG_DATA_HOME/applications/zofrin.desktop
[ -s "$entry" ] || fail "Zofrin did not register itself"
grep -qx "Exec=$zofrin %f" "$entry" || fail "the user's entry names another program: $(grep Exec "$entry")"
[ -s "$XDG_DATA_HOME/mime/packages/zofrin.xml" ] || fail "no user-level file type"
[ -s "$XDG_DATA_HOME/icons/hicolor/48x48/apps/zofrin.png" ] || fail "no user-level icon"

echo "PASS"
