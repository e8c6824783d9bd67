#!/usr/bin/env bash
# Starts an installed Torvel under Xvfb with an animation, as a file manager would, and waits for
# its window, whose title names the animation. Usage: smoke_test.sh PREFIX ANIMATION.san
set -euo pipefail
prefix=$1
animation=$2
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
# A home of its own, so that the program's first start writes nothing of the user's.
export HOME=$home/home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data
export XDG_RUNTIME_DIR=$home/runtime
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM  # the real X11 platform, not the tests' offscreen one
# A name with a space, as file managers pass them: one argument.
cp "$animation" "$home/a sample.san"

xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  "$1/bin/torvel" "$2" &
  app=$!
  for _ in $(seq 60); do
    if xwininfo -root -tree | grep -q "\"a sample.san - Torvel\""; then
      echo "The window \"a sample.san - Torvel\" is up."
      kill "$app"
      wait "$app" 2>/dev/null || true
      exit 0
    fi
    kill -0 "$app" 2>/dev/null || { echo "Torvel ended before its window showed." >&2; exit 1; }
    sleep 0.5
  done
  echo "No Torvel window after 30 seconds; the windows were:" >&2
  xwininfo -root -tree >&2
  kill "$app"
  exit 1
' smoke "$prefix" "$home/a sample.san"
