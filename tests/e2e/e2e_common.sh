# Shared by the end-to-end scripts: a virtual X server of their own, the
# program started with an isolated home, waiting for windows, screenshots.
# The sourcing script sets $zofrin and $output first. Exits with status 77
# (skipped) when Xvfb or xdotool is missing.

for tool in Xvfb xdotool; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is not installed"
    exit 77
  fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/zofrin-e2e.XXXXXX")
xvfb_pid=
app_pid=
display_ready=

cleanup() {
  for pid in $app_pid $xvfb_pid; do
    kill "$pid" 2>/dev/null || true
  done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  if [ -n "$display_ready" ]; then screenshot "e2e-failure.png" || true; fi
  exit 1
}

screenshot() {
  mkdir -p "$output"
  local file="$output/$1"
  if command -v import >/dev/null; then
    import -window root "$file"
  elif command -v xwd >/dev/null && command -v convert >/dev/null; then
    xwd -root -silent | convert xwd:- "png:$file"
  else
    echo "no screenshot tool (imagemagick or xwd) found"
    return 0
  fi
  echo "screenshot: $file"
}

# Waits up to $2 tenths of a second for the condition in $1 to hold.
wait_for() {
  local condition=$1 tenths=$2
  for ((i = 0; i < tenths; i++)); do
    if eval "$condition"; then return 0; fi
    sleep 0.1
  done
  return 1
}

# A screenshot of the whole screen, and one cropped to window $1.
shot() {
  screenshot "full-$2"
  if command -v convert >/dev/null && [ -f "$output/full-$2" ]; then
    eval "$(xdotool getwindowgeometry --shell "$1")"
    convert "$output/full-$2" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$output/$2"
  fi
}

# Waits until no window whose name matches the pattern $1 is shown.
closed() {
  wait_for "! xdotool search --onlyvisible --name '$1' >/dev/null" 100 ||
    fail "the window \"$1\" stayed open"
}

# The id of the visible window whose title matches $1, waited for up to 20
# seconds. A search can end early with an X error when a window goes away
# under it, so it is tried again.
find_window() {
  local found deadline=$((SECONDS + 20))
  while ((SECONDS < deadline)); do
    found=$(timeout $((deadline - SECONDS + 1)) xdotool search --sync --onlyvisible \
      --name "$1" 2>/dev/null | head -n 1) || true
    if [ -n "$found" ]; then
      echo "$found"
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# Gives a window the focus; without a window manager it does not move by
# itself, and the first keys right after may be lost.
focus() {
  xdotool windowfocus --sync "$1"
  sleep 0.3
}

# Answers the open-file dialog with the path $1.
open_file() {
  local box
  box=$(find_window '^Open$') || true
  [ -n "$box" ] || fail "no open-file dialog for $1"
  focus "$box"
  xdotool key ctrl+a
  xdotool type --delay 20 "$1"
  xdotool key Return
  wait_for "! xdotool search --onlyvisible --name '^Open\$' >/dev/null" 100 ||
    fail "the open-file dialog stayed open for $1"
}

# Waits for the program to end; its exit status goes to $status.
wait_exit() {
  wait_for "! kill -0 $app_pid 2>/dev/null" 150 || fail "the program did not end"
  status=0
  wait "$app_pid" || status=$?
  app_pid=
}

start_zofrin() {
  env -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb ZOFRIN_NO_REGISTER=1 \
    XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/runtime" \
    "$zofrin" "$@" >"$work/zofrin.log" 2>&1 &
  app_pid=$!
}

# --- a virtual X server on a free display --------------------------------
mkdir -p "$work/runtime" && chmod 700 "$work/runtime"
Xvfb -displayfd 3 -screen 0 "${ZOFRIN_E2E_SCREEN:-1024x768x24}" -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
wait_for '[ -s "$work/display" ]' 100 || { cat "$work/xvfb.log" >&2; fail "Xvfb did not start"; }
export DISPLAY=":$(head -n 1 "$work/display")"
display_ready=1
echo "X server on $DISPLAY"

