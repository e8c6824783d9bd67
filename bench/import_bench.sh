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
for tool in ffmpeg convert hyperfine; do
  command -v "$tool" >/dev/null || { echo "import_bench needs $tool (apt-get install ffmpeg imagemagick hyperfine)" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
mkdir -p "$HOME"
"$build/bench/export_clips" "$work" >/dev/null
cd "$work"
"$build/src/cli/torvel-cli" export sprite.san sprite.gif
"$build/src/cli/torvel-cli" export sprite.san sprite.webp

means() {
  hyperfine --warmup 2 --min-runs 20 --style none --export-json times.json "$@" >/dev/null
  python3 -c 'import json; print(" ".join("%.4f" % r["mean"] for r in json.load(open("times.json"))["results"]))'
}
ratio() { python3 -c "print('%.2f' % ($1 / $2))"; }

open=$build/bench/open_picture
read -r ours theirs < <(means "$open sprite.gif" "ffmpeg -v error -i sprite.gif -f null -")
echo "open_gif_sprite_seconds: $ours (ffmpeg $theirs, ratio $(ratio "$ours" "$theirs"))"
read -r ours theirs < <(means "$open sprite.webp" "convert sprite.webp null:")
echo "open_webp_sprite_seconds: $ours (imagemagick $theirs, ratio $(ratio "$ours" "$theirs"))"
