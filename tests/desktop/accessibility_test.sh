#!/usr/bin/env bash
# The real program on an X server with a window manager, a session bus and the accessibility
# bus, read as a screen reader reads it (accessible_tree.py, through pyatspi): once with a
# sample animation open, once more with File > Open's dialog up.
# Usage: accessibility_test.sh BUILD_DIR TORVEL english|german
set -Euo pipefail
source "$(dirname "$0")/session.sh"
build=$1
torvel=$2
language=$3
case_name=accessibility-$language
here=$(cd "$(dirname "$0")" && pwd)

need Xvfb openbox xdotool dbus-run-session
[ -x /usr/libexec/at-spi-bus-launcher ] || skip "at-spi2-core is not installed"
/usr/bin/python3 -c "import pyatspi" 2>/dev/null || skip "python3-pyatspi is not installed"

work=$(mktemp -d)
trap 'stop_programs; rm -rf "$work"' EXIT
private_home "$work"
[ "$language" = german ] && export LANG=de_DE.UTF-8 LANGUAGE=de
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
wait_for 30 test -s "$work/display" || { echo "$case_name: Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$(cat "$work/display")
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
wait_for 15 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"'
cp "$build/data/support/Bouncing Ball.san" "$work/ball.san"

# The session: its own bus with the accessibility bus on it, the program, and the reader.
cat >"$work/session.sh" <<SESSION
set -u
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/atspi.log" 2>&1 &
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
"$torvel" "$work/ball.san" >"$work/torvel.log" 2>&1 &
program=\$!
status=0
/usr/bin/python3 "$here/accessible_tree.py" $language || status=1
xdotool search --sync --onlyvisible --name "ball.san" windowactivate --sync key ctrl+o
/usr/bin/python3 "$here/accessible_tree.py" $language dialog || status=1
kill \$program
exit \$status
SESSION
if ! timeout 100 dbus-run-session -- bash "$work/session.sh" 2>"$work/errors"; then
  grep -v "fd limit" "$work/errors" >&2
  tail -n 5 "$work/torvel.log" >&2
  echo "$case_name: failed" >&2
  exit 1
fi
echo "$case_name: passed"
