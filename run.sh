#!/usr/bin/env bash
# Builds Torvel into build/ and starts it. Without a display it runs Torvel under Xvfb and saves
# a screenshot of its window to build/screenshot.png.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
torvel_install_packages
torvel_configure_and_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec build/src/app/torvel "$@"
fi

echo "No display found: starting Torvel under Xvfb."
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  build/src/app/torvel "$@" &
  app=$!
  sleep 3
  window=$(xwininfo -root -tree | awk "/Torvel\"/ {print \$1; exit}")
  import -window "${window:-root}" build/screenshot.png
  kill $app 2>/dev/null || true
  wait $app 2>/dev/null || true
' torvel "$@"
echo "Screenshot of the Torvel window saved to build/screenshot.png"
