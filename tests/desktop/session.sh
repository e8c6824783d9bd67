# Sourced by the end-to-end scripts: a private home and the waiting they all do.

# wait_for SECONDS COMMAND...: until the command succeeds.
wait_for() {
  local tries=$(($1 * 10))
  shift
  for _ in $(seq "$tries"); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
  return 1
}

# skip REASON: the case cannot run here; ctest counts status 77 as skipped.
skip() {
  echo "$case_name: skipped: $*"
  exit 77
}
# wait_for_compositor PID LOG NAME SECONDS TEST...: waits for TEST to pass while the compositor
# runs. One that exits before, or right after, cannot run on this machine (sway on a root
# without /sys, for one): the case is skipped with the last lines of its log.
wait_for_compositor() {
  local pid=$1 log=$2 name=$3 tries=$(($4 * 10))
  shift 4
  local why="did not start"
  for _ in $(seq "$tries"); do
    kill -0 "$pid" 2>/dev/null || { why="exited at start"; break; }
    if "$@" >/dev/null 2>&1; then
      sleep 0.3
      kill -0 "$pid" 2>/dev/null && return 0
      why="exited at start"
      break
    fi
    sleep 0.1
  done
  skip "$name $why: $(tail -n 3 "$log" 2>/dev/null | tr '\n' ' ')"
}
# need TOOL...: skips the case unless every tool is installed.
need() {
  local tool
  for tool in "$@"; do command -v "$tool" >/dev/null || skip "$tool is not installed"; done
}

# The programs a script started in the background; stop_programs ends them, newest first.
pids=()
stop_programs() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  wait 2>/dev/null || true
}

# rerun_as_nobody WRAPPER SCRIPT ARGUMENTS...: as root, runs the script again as the user nobody
# (Wayland compositors refuse root or are not meant for it), through WRAPPER (words, or none),
# and exits with its status. The build may lie where nobody cannot reach it: the script and the
# programs among its arguments go along to a folder of the run's own, which the run finds in
# TORVEL_RERUN_WORK. Returns when not root or already rerun.
rerun_as_nobody() {
  [ "$(id -u)" -eq 0 ] && [ -z "${TORVEL_RERUN_WORK:-}" ] || return 0
  local wrapper=$1 arguments=() argument status=0
  shift
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  mkdir "$work/bin" && cp "$(dirname "$1")/session.sh" "$work/bin/"
  for argument in "$@"; do
    if [ -f "$argument" ] && [ -x "$argument" ]; then
      cp "$argument" "$work/bin/" && argument=$work/bin/$(basename "$argument")
    fi
    arguments+=("$argument")
  done
  chown -R nobody "$work"
  # shellcheck disable=SC2086
  runuser -u nobody -- env TORVEL_RERUN_WORK="$work" $wrapper "${arguments[@]}" || status=$?
  exit $status
}

# private_home FOLDER: the program's home, settings and runtime folders below FOLDER, so that
# nothing touches the real home, and none of the displays of the session the tests came from.
private_home() {
  export HOME=$1/home XDG_CONFIG_HOME=$1/home/.config XDG_DATA_HOME=$1/home/.local/share
  export XDG_RUNTIME_DIR=$1/runtime LANG=C.UTF-8
  mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
  unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
}

# The pointer of the screen pointer_screen names: xdotool's commands, each given time to arrive.
pointer() { DISPLAY=$pointer_screen xdotool "$@" && sleep 0.2; }

# middle_of COLOUR: the middle of the largest patch of that colour on $pointer_screen, as "X Y".
middle_of() {
  DISPLAY=$pointer_screen import -window root "$work/screen.png"
  convert "$work/screen.png" -fill black +opaque "$1" -morphology Erode Square:12 -format '%@' \
    info: | awk -F'[x+]' '$1 > 1 { print int($3 + $1 / 2), int($4 + $2 / 2) }'
}
# drag_to_preview: presses on the magenta drag source, moves in steps to the white of Torvel's
# preview and lets go there.
drag_to_preview() {
  local from to
  from=$(middle_of magenta) && [ -n "$from" ] || fail "no drag source on the screen"
  to=$(middle_of white) && [ -n "$to" ] || fail "no Torvel preview on the screen"
  read -r x0 y0 <<<"$from"
  read -r x1 y1 <<<"$to"
  pointer mousemove "$x0" "$y0"
  pointer mousedown 1
  for step in 1 2 3 4 5 6 7 8; do
    pointer mousemove $((x0 + (x1 - x0) * step / 8)) $((y0 + (y1 - y0) * step / 8))
  done
  pointer mouseup 1
}

# drag_in ARGUMENTS...: the drag source (drag_source, on the window system drag_platform names)
# offers what the arguments name, and it is dragged onto Torvel's preview, which must take it.
drag_in() {
  QT_QPA_PLATFORM=$drag_platform "$drag_source" "$@" >"$work/drag.log" 2>&1 &
  pids+=($!)
  sleep 2
  drag_to_preview
  wait_for 5 grep -q copied "$work/drag.log" || fail "Torvel did not take the drop of $*"
  kill "${pids[-1]}"
}
# drop_three_cells: two picture files, then a picture without a file, as from a web page.
drop_three_cells() {
  for colour in red blue; do convert -size 16x16 xc:$colour "$work/$colour.png"; done
  convert -size 32x32 xc:lime "$work/lime.png"
  drag_in "$work/red.png" "$work/blue.png"
  drag_in --picture "$work/lime.png"
}
