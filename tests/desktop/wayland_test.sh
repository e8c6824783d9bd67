#!/usr/bin/env bash
# The clipboard workflow of the real program on a Wayland compositor: sway on its headless
# backend, wl-copy and wl-paste as the other program, wtype as the keyboard, another Wayland
# window (weston-clickdot) to hold the focus. sway refuses to run as root: as root the test
# runs itself again as the user nobody. Skipped (status 77, with the reason) where no compositor
# can start.
# Usage: wayland_test.sh BUILD_DIR TORVEL TORVEL_CLI CASE, CASE being one of
#   automatic-paste  three pictures copied by wl-copy while another window has the focus
#   paste-copy-out   a picture copied by wl-copy is pasted; a copied cell reaches wl-paste
#   copy-all-between-two  Copy All in one Torvel, Paste Special > Animation in a second one
set -Eeuo pipefail
source "$(dirname "$0")/session.sh"
build=$1
torvel=$2
cli=$3
case_name=$4

need sway wl-copy wl-paste wtype weston-clickdot convert
rerun_as_nobody "" "$0" "$@"
work=${TORVEL_RERUN_WORK:-$(mktemp -d)}
trap stop_programs EXIT
trap 'fail "the command on line $LINENO failed"' ERR
fail() {
  trap - ERR
  echo "$case_name: $*" >&2
  grim "$work/failed.png" 2>/dev/null && echo "  screenshot: $work/failed.png (removed at exit)" >&2
  exit 1
}

# A home of its own and a headless sway drawing with the processor.
private_home "$work"
export QT_QPA_PLATFORM=wayland
printf 'output HEADLESS-1 resolution 1024x768\nxwayland disable\n' >"$work/sway.conf"
WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
  sway -c "$work/sway.conf" >"$work/sway.log" 2>&1 &
pids+=($!)
wait_for_compositor "$!" "$work/sway.log" sway 10 \
  sh -c 'ls "$XDG_RUNTIME_DIR"/wayland-* | grep -v lock && ls "$XDG_RUNTIME_DIR"/sway-ipc.*'
WAYLAND_DISPLAY=$(basename "$(ls "$XDG_RUNTIME_DIR"/wayland-* | grep -v lock | head -1)")
export WAYLAND_DISPLAY SWAYSOCK=$(ls "$XDG_RUNTIME_DIR"/sway-ipc.* | head -1)

# The headless compositor has no keyboard: each wtype brings one, which the program must see
# before the keys come.
key() { wtype -s 700 "$@"; }
focus() { swaymsg "[title=\"$1\"] focus" >/dev/null; }
window_named() { swaymsg -t get_tree | grep -q "\"name\": \"$1\""; }
both_changed() { [ "$(swaymsg -t get_tree | grep -c '"name": "\*Untitled.san - Torvel"')" -eq 2 ]; }
# The title of the window with the focus.
focused_window() {
  swaymsg -t get_tree | python3 -c '
import json, sys
def walk(node):
    if node.get("focused"):
        print(node.get("name") or "")
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        walk(child)
walk(json.load(sys.stdin))'
}
other_window_has_focus() { ! focused_window | grep -q Torvel; }
info_line() { "$cli" info "$1" | sed -n "s/^$2: //p"; }
expect_equal() { [ "$1" = "$2" ] || fail "$3: got \"$1\", expected \"$2\""; }

start_torvel() {
  "$torvel" >"$work/torvel.log" 2>&1 &
  pids+=($!)
  wait_for 30 window_named "Untitled.san - Torvel" || fail "no Torvel window"
  sleep 1.5  # the splash panel closes after about a second
  focus "Untitled.san - Torvel"
}
save_as() {
  key -M ctrl a -m ctrl
  wait_for 10 window_named "Save As" || fail "no Save As dialog"
  key "$1" -k Return
  wait_for 10 window_named "$(basename "$1") - Torvel" || fail "not saved as $1"
}

case $case_name in
  automatic-paste)
    start_torvel
    key -k F5
    weston-clickdot >/dev/null 2>&1 &
    pids+=($!)
    wait_for 10 other_window_has_focus || fail "the other window did not take the focus"
    for colour in red lime blue; do
      convert -size 16x16 xc:$colour "$work/$colour.png"
      wl-copy -t image/png <"$work/$colour.png"
      # The program looks twice a second, takes the picture and empties the clipboard.
      wait_for 10 sh -c '! wl-paste -l 2>/dev/null | grep -q image/png' ||
        fail "the $colour picture was not taken while another window had the focus"
    done
    focus "\\*Untitled.san - Torvel"
    key -k F5
    save_as "$work/collected.san"
    expect_equal "$(info_line "$work/collected.san" cells)" 3 "cells"
    ;;
  paste-copy-out)
    convert -size 40x30 xc:'#3366cc' "$work/picture.png"
    wl-copy -t image/png <"$work/picture.png"
    start_torvel
    key -M ctrl v -m ctrl
    wait_for 10 window_named "\\*Untitled.san - Torvel" || fail "nothing pasted"
    key -M ctrl c -m ctrl
    wait_for 10 sh -c 'wl-paste -t image/png | identify - | grep -q " 40x30 "' ||
      fail "the copied cell did not reach wl-paste as a 40 x 30 PNG"
    save_as "$work/pasted.san"
    expect_equal "$(info_line "$work/pasted.san" "cell size")" 40x30 "cell size"
    ;;
  copy-all-between-two)
    convert -size 20x10 xc:'#cc6633' "$work/picture.png"
    wl-copy -t image/png <"$work/picture.png"
    start_torvel
    key -M ctrl v -m ctrl
    wait_for 10 window_named "\\*Untitled.san - Torvel" || fail "nothing pasted"
    key -M alt e -m alt y  # Edit > Copy All
    start_torvel  # the second one, still untitled
    key -k F3
    wait_for 10 both_changed || fail "the second Torvel pasted no animation"
    save_as "$work/second.san"
    expect_equal "$(info_line "$work/second.san" "cell size")" 20x10 "cell size"
    ;;
  *)
    fail "no such case"
    ;;
esac
