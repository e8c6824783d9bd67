#!/usr/bin/env bash
# On a Wayland compositor without data control but with XWayland (weston), the real program
# starts as an X11 client, where it reads the clipboard whatever has the focus; asked for
# Wayland by name, it stays on Wayland. weston runs as the user nobody when run as root, as
# Wayland desktops do. Skipped (status 77, with the reason) where weston cannot start.
# Usage: xwayland_test.sh TORVEL
set -Eeuo pipefail
source "$(dirname "$0")/session.sh"
torvel=$1

skip() {
  echo "xwayland: skipped: $*"
  exit 77
}
for tool in weston Xwayland xdotool; do
  command -v "$tool" >/dev/null || skip "$tool is not installed"
done
if [ "$(id -u)" -eq 0 ] && [ -z "${TORVEL_XWAYLAND_WORK:-}" ]; then
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  mkdir "$work/bin" && cp "$torvel" "$0" "$(dirname "$0")/session.sh" "$work/bin/"
  chown -R nobody "$work"
  status=0
  runuser -u nobody -- env TORVEL_XWAYLAND_WORK="$work" "$work/bin/$(basename "$0")" \
    "$work/bin/$(basename "$torvel")" || status=$?
  exit $status
fi
work=${TORVEL_XWAYLAND_WORK:-$(mktemp -d)}

pids=()
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  wait 2>/dev/null || true
}
trap cleanup EXIT
fail() {
  echo "xwayland: $*" >&2
  sed 's/^/  torvel: /' "$work/torvel.log" >&2 || true
  exit 1
}

private_home "$work"
export WAYLAND_DISPLAY=torvel-weston
weston --backend=headless-backend.so --xwayland --socket="$WAYLAND_DISPLAY" --width=1024 \
  --height=768 >"$work/weston.log" 2>&1 &
pids+=($!)
wait_for 10 grep -q 'xserver listening on display' "$work/weston.log" ||
  skip "weston did not start with XWayland"
export DISPLAY=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$work/weston.log")

on_x11() { xdotool search --name '^Untitled.san - Torvel$' | grep -q .; }
"$torvel" >"$work/torvel.log" 2>&1 &
pids+=($!)
wait_for 30 on_x11 || fail "no Torvel window on XWayland ($DISPLAY)"
kill "${pids[-1]}" && wait "${pids[-1]}" 2>/dev/null || true

# The user's own choice stands: asked for Wayland, no window comes to XWayland.
QT_QPA_PLATFORM=wayland "$torvel" >"$work/torvel.log" 2>&1 &
pids+=($!)
sleep 4
kill -0 "${pids[-1]}" || fail "Torvel did not run on Wayland"
on_x11 && fail "Torvel went to XWayland although the user asked for Wayland"
echo "xwayland: passed"
