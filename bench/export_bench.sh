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
source "$(dirname "$0")/peer_bench.sh"
peer_bench_start export_bench "ffmpeg webp hyperfine" ffmpeg img2webp hyperfine
cli=$build/src/cli/torvel-cli

psnr() {
  ffmpeg -v info -i "$1" -framerate 10 -i "$2/frame_%03d.png" \
    -lavfi "[0:v]format=rgb24[a];[1:v]format=rgb24[b];[a][b]psnr" -f null - 2>&1 |
    sed -n 's/.*PSNR.* average:\([0-9.inf]*\).*/\1/p'
}
size() { stat -c %s "$1"; }

palette='split[a][b];[a]palettegen[p];[b][p]paletteuse'
for clip in sprite screen photo; do
  frames="-framerate 10 -i $clip/frame_%03d.png"
  read -r ours theirs < <(means --warmup 1 --min-runs 10 "$cli export $clip.san t.gif" \
    "ffmpeg -v error -y $frames -vf '$palette' f.gif")
  echo "gif_${clip}_seconds: $ours (ffmpeg $theirs, ratio $(ratio "$ours" "$theirs"))"
  echo "gif_${clip}_bytes: $(size t.gif) (ffmpeg $(size f.gif))"
  echo "gif_${clip}_psnr_db: $(psnr t.gif "$clip") (ffmpeg $(psnr f.gif "$clip"))"

  read -r ours theirs < <(means --warmup 1 --min-runs 10 "$cli export $clip.san t.webp" \
    "img2webp -lossless -loop 0 -d 100 $clip/frame_*.png -o f.webp")
  echo "webp_${clip}_seconds: $ours (img2webp $theirs, ratio $(ratio "$ours" "$theirs"))"
  echo "webp_${clip}_bytes: $(size t.webp) (img2webp $(size f.webp))"

  read -r ours theirs < <(means --warmup 1 --min-runs 10 "$cli export $clip.san t.apng" \
    "ffmpeg -v error -y $frames -plays 0 -f apng f.apng")
  echo "apng_${clip}_seconds: $ours (ffmpeg $theirs, ratio $(ratio "$ours" "$theirs"))"
  echo "apng_${clip}_bytes: $(size t.apng) (ffmpeg $(size f.apng))"
done
