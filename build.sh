#!/usr/bin/env bash
# Sets up a Debian 12 machine for Zofrin, builds it, and then runs it or its
# tests:
#   ./build.sh run    install what is missing, build, start the program
#   ./build.sh test   install what is missing, build, run every test
# Packages are installed with apt-get, as root or through sudo, and only
# those that are missing.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build="${ZOFRIN_BUILD_DIR:-$here/build}"
action="${1:-run}"

packages=(
  build-essential cmake pkg-config
  qt6-base-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool xclip x11-apps imagemagick
)

install_missing() {
  local missing=()
  for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$package")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}"
}

build_all() {
  cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build" --parallel "$(nproc)"
}

case "$action" in
  run)
    install_missing
    build_all
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
      echo "Zofrin is built, but there is no display to show it on (DISPLAY is not set)."
      echo "Start it under a virtual X server with:"
      echo "  xvfb-run -a $build/app/zofrin"
      exit 0
    fi
    exec "$build/app/zofrin"
    ;;
  test)
    install_missing
    build_all
    ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)"
    ;;
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
