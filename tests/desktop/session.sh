# Sourced by the end-to-end scripts: a private home and the waiting they all do.

# wait_for SECONDS COMMAND...: until the command succeeds.
wait_for() {
  local tries=$(($1 * 10))
  shift
  for _ in $(seq "$tries"); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
  return 1
}

# private_home FOLDER: the program's home, settings and runtime folders below FOLDER, so that
# nothing touches the real home, and none of the displays of the session the tests came from.
private_home() {
  export HOME=$1/home XDG_CONFIG_HOME=$1/home/.config XDG_DATA_HOME=$1/home/.local/share
  export XDG_RUNTIME_DIR=$1/runtime LANG=C.UTF-8
  mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
  unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
}
