#!/usr/bin/env bash
# Export against the usual tools, whole processes side by side in one run (hyperfine), on the
# three animations of export_clips: GIF against ffmpeg's two-pass palette GIF (time, size, and
# the PSNR of the decoded frames to the source frames, by ffmpeg's psnr filter), WebP against
# img2webp -lossless, APNG against ffmpeg's APNG. Prints one "name: value" line per figure.
# The peers (ffmpeg, webp, hyperfine) are installed for the benchmark only.
# Usage: bench/export_bench.sh BUILD_DIR
# Goals: GIF at least as fast as ffmpeg, a PSNR at least 1 dB above ffmpeg's on screen and photo,
# a file no larger; WebP no slower than img2webp and no larger; APNG at most a third of ffmpeg's
# time and no larger.
set -euo pipefail
build=$(cd "$1" && pwd)
for tool in ffmpeg img2webp hyperfine; do
  command -v "$tool" >/dev/null || { echo "export_bench needs $tool (apt-get install ffmpeg webp hyperfine)" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
mkdir -p "$HOME"
cli=$build/src/cli/torvel-cli
"$build/bench/export_clips" "$work"
cd "$work"

# Mean seconds of each command, by hyperfine, in the order given.
means() {
  hyperfine --warmup 1 --min-runs 10 --style none --export-json times.json "$@" >/dev/null
  python3 -c 'import json; print(" ".join("%.4f" % r["mean"] for r in json.load(open("times.json"))["results"]))'
}
psnr() {
  ffmpeg -v info -i "$1" -framerate 10 -i "$2/frame_%03d.png" \
    -lavfi "[0:v]format=rgb24[a];[1:v]format=rgb24[b];[a][b]psnr" -f null - 2>&1 |
    sed -n 's/.*PSNR.* average:\([0-9.inf]*\).*/\1/p'
}
size() { stat -c %s "$1"; }
ratio() { python3 -c "print('%.2f' % ($1 / $2))"; }

palette='split[a][b];[a]palettegen[p];[b][p]paletteuse'
for clip in sprite screen photo; do
  frames="-framerate 10 -i $clip/frame_%03d.png"
  read -r ours theirs < <(means "$cli export $clip.san t.gif" \
    "ffmpeg -v error -y $frames -vf '$palette' f.gif")
  echo "gif_${clip}_seconds: $ours (ffmpeg $theirs, ratio $(ratio "$ours" "$theirs"))"
  echo "gif_${clip}_bytes: $(size t.gif) (ffmpeg $(size f.gif))"
  echo "gif_${clip}_psnr_db: $(psnr t.gif "$clip") (ffmpeg $(psnr f.gif "$clip"))"

  read -r ours theirs < <(means "$cli export $clip.san t.webp" \
    "img2webp -lossless -loop 0 -d 100 $clip/frame_*.png -o f.webp")
  echo "webp_${clip}_seconds: $ours (img2webp $theirs, ratio $(ratio "$ours" "$theirs"))"
  echo "webp_${clip}_bytes: $(size t.webp) (img2webp $(size f.webp))"

  read -r ours theirs < <(means "$cli export $clip.san t.apng" \
    "ffmpeg -v error -y $frames -plays 0 -f apng f.apng")
  echo "apng_${clip}_seconds: $ours (ffmpeg $theirs, ratio $(ratio "$ours" "$theirs"))"
  echo "apng_${clip}_bytes: $(size t.apng) (ffmpeg $(size f.apng))"
done
