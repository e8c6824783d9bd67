#!/usr/bin/env bash
# Proves that the README's two commands work on a fresh Debian 12 machine: makes a clean
# Debian 12 root with mmdebstrap, clones this repository's committed state into it and runs
# ./test.sh there, then ./run.sh without a display, which must leave its screenshot.
# Run as root (it mounts /proc, /sys and /dev into the new root). Takes a while.
# Usage: scripts/fresh-check.sh [ROOT_DIR]   (default: a new folder below /var/tmp, removed after)
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)

if [ "$(id -u)" -ne 0 ]; then
  echo "fresh-check.sh must run as root" >&2
  exit 1
fi
command -v mmdebstrap >/dev/null || {
  apt-get update -qq && apt-get install -y -qq --no-install-recommends mmdebstrap
}

root=${1:-$(mktemp -d /var/tmp/torvel-fresh.XXXXXX)}
keep_root=${1:+yes}
mounted=()
cleanup() {
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount -l "${mounted[i]}" || true; done
  [ -n "$keep_root" ] || rm -rf --one-file-system "$root"
}
trap cleanup EXIT

# The host's own package sources, so the new root sees the same Debian 12 mirror.
sources=/etc/apt/sources.list.d/debian.sources
[ -f "$sources" ] || sources=/etc/apt/sources.list
echo "== Making a clean Debian 12 root in $root =="
mmdebstrap --variant=apt --include=git,ca-certificates bookworm "$root" "$sources"

for fs in proc sys dev dev/pts; do
  mount --bind "/$fs" "$root/$fs"
  mounted+=("$root/$fs")
done
mount -t tmpfs tmpfs "$root/dev/shm" && mounted+=("$root/dev/shm")
mkdir -p "$root/tmp" && chmod 1777 "$root/tmp"

git clone -q "$repo" "$root/torvel"
echo "== ./test.sh in the clean root =="
chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 \
  bash -c 'cd /torvel && ./test.sh'
echo "== ./run.sh without a display in the clean root =="
chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 \
  bash -c 'cd /torvel && ./run.sh && test -s build/screenshot.png'
echo "fresh-check: both commands passed in a clean Debian 12 root"
