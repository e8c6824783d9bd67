#!/usr/bin/env bash
# Builds the Debian package and checks it: its files (the installed tree below /usr), its
# dependencies, that apt can install it here, and that the program it holds starts.
# Usage: package_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

(cd "$build" && cpack -G DEB -B "$out" >/dev/null)
package=$(ls "$out"/torvel_*_*.deb)
echo "Built $(basename "$package")"

diff -u <(sed 's|^|usr/|' "$here/installed_files.txt") \
  <(dpkg-deb -c "$package" | awk '$1 ~ /^-/ {print $6}' | sed 's|^\./||' | LC_ALL=C sort)
echo "The package holds the installed files below /usr."

control=$(dpkg-deb -f "$package" Package Version Section Depends)
echo "$control"
echo "$control" | grep -q '^Package: torvel$'
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
echo "$control" | grep -qx "Version: $version"
echo "$control" | grep -q '^Section: graphics$'
for library in libqt6widgets6 libqt6gui6 libjpeg62-turbo libpng16-16 zlib1g libgif7 \
  libimagequant0 libwebp7 libwebpmux3; do
  echo "$control" | grep -q "$library" || { echo "Depends lacks $library" >&2; exit 1; }
done

# Whether apt could install it with its dependencies, without installing it.
apt-get install --simulate --no-install-recommends "$package" >"$out/apt.log" 2>&1 ||
  { cat "$out/apt.log" >&2; exit 1; }
grep -Eq '^Inst torvel|torvel is already the newest version' "$out/apt.log" ||
  { cat "$out/apt.log" >&2; exit 1; }
echo "apt can install the package."

dpkg-deb -x "$package" "$out/root"
"$here/smoke_test.sh" "$out/root/usr" "$build/data/support/Bouncing Ball.san"
