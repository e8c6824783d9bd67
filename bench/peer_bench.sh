# What the benchmarks that set Torvel against other programs share; sourced by them.
# peer_bench_start NAME PACKAGES TOOL...: stops unless every tool is installed, then makes a
# private work folder (removed at exit) with a home of its own, and makes the export benchmark's
# animations in it. Sets work.
peer_bench_start() {
  local name=$1 packages=$2
  shift 2
  for tool in "$@"; do
    command -v "$tool" >/dev/null || { echo "$name needs $tool (apt-get install $packages)" >&2; exit 1; }
  done
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
  mkdir -p "$HOME"
  "$build/bench/export_clips" "$work" >/dev/null
  cd "$work"
}

# means [HYPERFINE OPTIONS] COMMAND...: the mean seconds of each command, in the order given.
means() {
  hyperfine --style none --export-json times.json "$@" >/dev/null
  python3 -c 'import json; print(" ".join("%.4f" % r["mean"] for r in json.load(open("times.json"))["results"]))'
}
ratio() { python3 -c "print('%.2f' % ($1 / $2))"; }
