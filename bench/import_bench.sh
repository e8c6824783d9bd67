#!/usr/bin/env bash
# Opening the animations other programs made, against decoding them with the usual tools, whole
# processes side by side in one run (hyperfine): the export benchmark's 218-frame 100 x 100
# sprite as a GIF and a WebP (written by torvel-cli export), opened as the editor opens them,
# thumbnails included (open_picture). The GIF is set against ffmpeg's decoding to raw frames
# (-f null -). Debian's ffmpeg cannot decode animated WebP, so the WebP is set against
# ImageMagick's reading of every frame (convert FILE null:), which uses libwebp as we do.
# Prints one "name: value" line per figure. The peers (ffmpeg, hyperfine, ImageMagick) are
# installed for the benchmark only.
# Usage: bench/import_bench.sh BUILD_DIR
# Goal: each opening at most 1.5 times its peer's time.
set -euo pipefail
build=$(cd "$1" && pwd)
source "$(dirname "$0")/peer_bench.sh"
peer_bench_start import_bench "ffmpeg imagemagick hyperfine" ffmpeg convert hyperfine
"$build/src/cli/torvel-cli" export sprite.san sprite.gif
"$build/src/cli/torvel-cli" export sprite.san sprite.webp

open=$build/bench/open_picture
read -r ours theirs < <(means --warmup 2 --min-runs 20 "$open sprite.gif" "ffmpeg -v error -i sprite.gif -f null -")
echo "open_gif_sprite_seconds: $ours (ffmpeg $theirs, ratio $(ratio "$ours" "$theirs"))"
read -r ours theirs < <(means --warmup 2 --min-runs 20 "$open sprite.webp" "convert sprite.webp null:")
echo "open_webp_sprite_seconds: $ours (imagemagick $theirs, ratio $(ratio "$ours" "$theirs"))"
