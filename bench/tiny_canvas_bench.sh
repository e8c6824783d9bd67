#!/usr/bin/env bash
# Peak memory of reading tiny files that claim a large canvas: a GIF, an APNG and an animated
# WebP of a few hundred bytes, each a 8192 x 8192 canvas of twelve one-pixel frames. A viewer
# shows them, so Torvel reads them; what it may hold is the canvas, one frame buffer (libwebp
# keeps a second canvas) and, for pack, the cells the store takes (at most its 2 GiB budget).
# The baseline is the same command on the same file of a 1 x 1 canvas, in the same run.
# Prints one "name: value" line per figure.
# Usage: bench/tiny_canvas_bench.sh BUILD_DIR
# Goals: info <= baseline + 2 canvases; pack <= baseline + 2 canvases + 2 GiB.
set -euo pipefail
build=$(cd "$1" && pwd)
cli=$build/src/cli/torvel-cli
command -v /usr/bin/time >/dev/null || { echo "tiny_canvas_bench needs /usr/bin/time (apt-get install time)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
mkdir -p "$HOME" "$work/large" "$work/small"

# make_files SIDE FRAMES FOLDER: tiny.gif, tiny.png and tiny.webp of one-pixel frames.
make_files() {
  python3 - "$@" <<'PY'
import os, struct, sys, zlib
side, frames, folder = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3]
def save(name, data):
    open(os.path.join(folder, name), "wb").write(data)
gif = bytearray(b"GIF89a" + struct.pack("<HHBBB", side, side, 0x80, 0, 0) + b"\0\0\0\xff\xff\xff")
for i in range(frames):
    gif += b"\x21\xf9\x04\x00\x0a\x00\x00\x00"
    gif += b"\x2c" + struct.pack("<HHHHB", i % side, 0, 1, 1, 0) + b"\x02\x02\x44\x01\x00"
save("tiny.gif", bytes(gif + b"\x3b"))
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
# The default picture lies outside the animation, so it is never decoded.
png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", side, side, 8, 6, 0, 0, 0))
png += chunk(b"acTL", struct.pack(">II", frames, 0)) + chunk(b"IDAT", zlib.compress(b"\0" * 5))
for i in range(frames):
    png += chunk(b"fcTL", struct.pack(">IIIIIHHBB", 2 * i, 1, 1, i % side, 0, 1, 10, 0, 0))
    png += chunk(b"fdAT", struct.pack(">I", 2 * i + 1) + zlib.compress(b"\0\xff\0\0\xff"))
save("tiny.png", png + chunk(b"IEND", b""))
def riff(kind, data):
    return kind + struct.pack("<I", len(data)) + data + (b"\0" if len(data) % 2 else b"")
u24 = lambda v: struct.pack("<I", v)[:3]
pixel = riff(b"VP8L", bytes.fromhex("2f00000000071011fd0f4444ff03"))  # one lossless pixel
webp = riff(b"VP8X", bytes([0x02, 0, 0, 0]) + u24(side - 1) + u24(side - 1))
webp += riff(b"ANIM", b"\0" * 6)
for i in range(frames):
    webp += riff(b"ANMF", u24((i % side) // 2) + u24(0) + u24(0) + u24(0) + u24(100) + b"\x02" + pixel)
save("tiny.webp", b"RIFF" + struct.pack("<I", len(webp) + 4) + b"WEBP" + webp)
PY
}
make_files 8192 12 "$work/large"
make_files 1 12 "$work/small"

peak_kb() {  # COMMAND...: the peak resident memory of the command, in KiB
  /usr/bin/time -f %M -o "$work/peak" "$@" >/dev/null 2>&1 || true
  cat "$work/peak"
}
canvas_kb=$((8192 * 8192 * 4 / 1024))
for kind in gif png webp; do
  for command in info pack; do
    set -- "$cli" "$command" "$work/large/tiny.$kind"
    set -- "$@" $([ "$command" = pack ] && echo "$work/out.san")
    large=$(peak_kb "$@")
    base=$(peak_kb "${@/large/small}")
    goal=$((base + 2 * canvas_kb + ($([ "$command" = pack ] && echo 2097152 || echo 0))))
    echo "tiny_${kind}_${command}_peak_mib: $((large / 1024)) (baseline $((base / 1024)), goal <= $((goal / 1024)), ratio $(python3 -c "print('%.2f' % ($large / $goal))"))"
  done
done
