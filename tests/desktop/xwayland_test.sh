#!/usr/bin/env bash
# The real program on Wayland compositors without data control, each nested in an Xvfb window
# so that it has a keyboard and a pointer (xdotool types into that window): mutter, GNOME's
# compositor, whose XWayland sees every picture copied, and weston, whose XWayland sees only
# text. wl-copy is the other program, weston-clickdot the window with the focus. As root the
# test runs itself again as the user nobody, as Wayland desktops do. Skipped (status 77, with
# the reason) where the compositor cannot start.
# Usage: xwayland_test.sh TORVEL TORVEL_CLI DRAG_SOURCE CASE, CASE being one of
#   gnome-automatic-paste  Torvel starts on XWayland by itself and takes three pictures copied
#                          by wl-copy while another window has the focus
#   gnome-wayland-chosen   asked for Wayland by name, Torvel stays on Wayland
#   gnome-drop             two picture files and then a picture without a file, dragged from a
#                          Wayland program, become three cells
#   weston-paste           Torvel stays on Wayland, where a picture from wl-copy can be pasted
#   weston-drop            gnome-drop with Torvel on Wayland
set -Eeuo pipefail
source "$(dirname "$0")/session.sh"
torvel=$1
cli=$2
drag_source=$3
case_name=$4

compositor=${case_name%%-*}
need Xvfb Xwayland xdotool wl-copy weston-clickdot convert dbus-run-session
need "${compositor/gnome/mutter}"
# GNOME's compositor wants a session bus.
rerun_as_nobody "dbus-run-session --" "$0" "$@"
work=${TORVEL_RERUN_WORK:-$(mktemp -d)}
trap stop_programs EXIT
trap 'fail "the command on line $LINENO failed"' ERR
fail() {
  trap - ERR
  echo "$case_name: $*" >&2
  DISPLAY=$outer import -window root "$work/failed.png" 2>/dev/null &&
    echo "  screenshot: $work/failed.png (removed at exit)" >&2
  sed 's/^/  torvel: /' "$work/torvel.log" >&2 || true
  exit 1
}

# The screen the compositor's window is on, and the compositor.
private_home "$work"
exec 3>"$work/outer-display"
Xvfb -displayfd 3 -screen 0 1100x800x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
wait_for 10 test -s "$work/outer-display" || skip "Xvfb did not start"
outer=:$(cat "$work/outer-display")
export WAYLAND_DISPLAY=torvel-$compositor
if [ "$compositor" = gnome ]; then
  DISPLAY=$outer mutter --wayland --nested --wayland-display="$WAYLAND_DISPLAY" \
    >"$work/compositor.log" 2>&1 &
  started='Using public X11 display'
else
  DISPLAY=$outer weston --backend=x11-backend.so --xwayland --socket="$WAYLAND_DISPLAY" \
    --width=1024 --height=768 >"$work/compositor.log" 2>&1 &
  started='xserver listening on display'
fi
pids+=($!)
wait_for_compositor "$!" "$work/compositor.log" "$compositor" 15 grep -q "$started" "$work/compositor.log"
export DISPLAY=$(grep "$started" "$work/compositor.log" | grep -o 'display :[0-9]*' | cut -c9-)
# mutter guards its XWayland with a key of its own.
for key in "$XDG_RUNTIME_DIR"/.mutter-Xwaylandauth.*; do [ -e "$key" ] && export XAUTHORITY=$key; done
# The outer screen has no window manager: its keyboard goes to the window under the pointer,
# which is the compositor's. weston follows the pointer's moves from where it entered the
# window, so the pointer comes in from outside.
pointer_screen=$outer
pointer mousemove 1090 790
pointer mousemove 512 400

press() { DISPLAY=$outer xdotool key --delay 120 "$@"; }
type_text() { DISPLAY=$outer xdotool type --delay 60 "$1"; }
x11_window() { xdotool search --name "^$1\$" | grep -q .; }
xdpyinfo >/dev/null || skip "no XWayland on $DISPLAY"
clipboard_has_picture() { xclip -selection clipboard -t TARGETS -o 2>/dev/null | grep -q image/png; }
info_line() { "$cli" info "$1" | sed -n "s/^$2: //p"; }
expect_equal() { [ "$1" = "$2" ] || fail "$3: got \"$1\", expected \"$2\""; }

start_torvel() {
  "$torvel" >"$work/torvel.log" 2>&1 &
  pids+=($!)
  torvel_pid=$!
  sleep 4  # the window, then the splash panel that closes after about a second
  kill -0 $torvel_pid || fail "Torvel did not start"
}
# Save As with the keyboard; the dialog takes the focus as it opens.
save_as() {
  press ctrl+a
  sleep 2
  type_text "$1"
  press Return
  wait_for 10 test -s "$1" || fail "not saved as $1"
}

case $case_name in
  gnome-automatic-paste)
    start_torvel
    x11_window "Untitled.san - Torvel" || fail "Torvel did not start on XWayland ($DISPLAY)"
    press F5
    weston-clickdot >/dev/null 2>&1 &
    pids+=($!)
    clickdot=$!
    sleep 2
    for colour in red lime blue; do
      convert -size 16x16 xc:$colour "$work/$colour.png"
      wl-copy -t image/png <"$work/$colour.png"
      # The program looks twice a second, takes the picture and empties the clipboard; wl-copy
      # offers it a moment after it returns.
      wait_for 2 clipboard_has_picture || true
      wait_for 10 eval '! clipboard_has_picture' ||
        fail "the $colour picture was not taken while another window had the focus"
    done
    wait_for 5 x11_window "\\*Untitled.san - Torvel" || fail "the pictures did not reach the cells"
    kill $clickdot  # the focus goes back to Torvel
    sleep 1
    press F5
    save_as "$work/collected.san"
    expect_equal "$(info_line "$work/collected.san" cells)" 3 "cells"
    ;;
  gnome-wayland-chosen)
    QT_QPA_PLATFORM=wayland start_torvel
    x11_window ".*Torvel" && fail "Torvel went to XWayland although the user asked for Wayland"
    ;;
  gnome-drop | weston-drop)
    start_torvel
    drag_platform=wayland
    drop_three_cells
    # The focus goes back to Torvel with a click on its preview.
    pointer click 1
    save_as "$work/dropped.san"
    expect_equal "$(info_line "$work/dropped.san" cells)" 3 "cells"
    ;;
  weston-paste)
    convert -size 40x30 xc:'#3366cc' "$work/picture.png"
    wl-copy -t image/png <"$work/picture.png"
    start_torvel
    x11_window ".*Torvel" && fail "Torvel went to XWayland, which gets no pictures from weston"
    press ctrl+v
    save_as "$work/pasted.san"
    expect_equal "$(info_line "$work/pasted.san" "cell size")" 40x30 "cell size"
    ;;
  *)
    fail "no such case"
    ;;
esac
echo "$case_name: passed"
