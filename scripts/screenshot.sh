#!/usr/bin/env bash
# Takes a picture of Skrivel at work: starts it on a virtual X display with a fresh profile on the
# DUMMY port, types a short text, transmits it, lets the echo come back and saves the window as a
# PNG (default docs/screenshot.png). Builds first unless SKRIVEL_BIN names a program.
#   scripts/screenshot.sh [output.png]
set -euo pipefail

# Inside the virtual display: run, type, transmit, take the picture.
if [ "${1:-}" = "--inside" ]; then
  bin=$2 out=$3
  "$bin" &
  pid=$!
  trap 'kill $pid 2>/dev/null || true' EXIT
  wid=$(xdotool search --sync --onlyvisible --name ' - Skrivel$' | head -1)
  sleep 1
  # No window manager: give the window the keyboard directly.
  xdotool windowfocus --sync "$wid"
  xdotool type --delay 40 'CQ CQ CQ DE SKRIVEL'
  xdotool key ctrl+t
  sleep 5
  xdotool key ctrl+r
  sleep 2
  xdotool type --delay 40 ' PSE K'
  sleep 1
  import -window "$wid" "$out"
  exit 0
fi

cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-docs/screenshot.png}")

if [ -z "${SKRIVEL_BIN:-}" ]; then
  scripts/install-deps.sh
  build=${BUILD_DIR:-build}
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build" --target skrivel hellfont
  SKRIVEL_BIN=$build/bin/skrivel
fi
bin=$(realpath "$SKRIVEL_BIN")

config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT
mkdir -p "$(dirname "$out")"
XDG_CONFIG_HOME=$config xvfb-run -a -s '-screen 0 1024x768x24' "$PWD/scripts/screenshot.sh" --inside "$bin" "$out"
echo "Saved $out"
