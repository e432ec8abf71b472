#!/usr/bin/env bash
# Sets up a Debian 12 machine for Zofrin, builds it, and then runs it or its
# tests:
#   ./build.sh run    install what is missing, build, start the program
#   ./build.sh test   install what is missing, build, run every test; then
#                     build everything again with AddressSanitizer and
#                     UBSan (clang), run every test there, and fuzz the list
#                     reader, the scanner and zofrin-cli for a minute each
# Packages are installed with apt-get, as root or through sudo, and only
# those that are missing. The test action exits non-zero when any stage
# fails, after running them all.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build="${ZOFRIN_BUILD_DIR:-$here/build}"
# The sanitized build, with the fuzzers, lives beside the normal one.
check_build="${ZOFRIN_CHECK_BUILD_DIR:-$build-check}"
action="${1:-run}"

packages=(
  build-essential cmake pkg-config
  qt6-base-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool xclip x11-apps imagemagick
  clang libclang-rt-14-dev llvm
  dpkg-dev man-db xdg-utils libfile-mimeinfo-perl desktop-file-utils shared-mime-info
  libglib2.0-bin
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

# Everything again, built by clang with AddressSanitizer and UBSan, and the
# libFuzzer programs. Its tests run first, the fuzzing runs last; each ends
# with ctest's summary.
check_all() {
  echo "== Sanitized build and tests in $check_build"
  CC=clang CXX=clang++ cmake -S "$here" -B "$check_build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZOFRIN_SANITIZE=ON -DZOFRIN_FUZZ=ON -DZOFRIN_BUILD_BENCHMARKS=OFF >/dev/null || return 1
  cmake --build "$check_build" --parallel "$(nproc)" || return 1
  export UBSAN_OPTIONS=print_stacktrace=1
  export LSAN_OPTIONS="suppressions=$here/tests/reliability/lsan.supp:print_suppressions=0"
  local status=0
  # The end-to-end scripts run in the normal build only: they time keystrokes
  # against a real X server, and the slower sanitized program misses them.
  ctest --test-dir "$check_build" --output-on-failure --parallel "$(nproc)" -LE 'fuzz|e2e' ||
    status=1
  echo "== Fuzzing"
  ctest --test-dir "$check_build" --output-on-failure --parallel 3 -L fuzz || status=1
  return "$status"
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
    status=0
    ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)" || status=1
    check_all || status=1
    exit "$status"
    ;;
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
