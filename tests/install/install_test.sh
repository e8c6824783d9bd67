#!/usr/bin/env bash
# Installs the build into a fresh folder and checks one thing the desktop reads from it.
# Usage: install_test.sh BUILD_DIR CHECK, CHECK being one of
#   files         the installed files are the expected ones
#   icons         every icon has the size its folder names
#   desktop-entry the desktop entry passes desktop-file-validate and file managers offer it for
#                 animation files
#   metainfo      the software-centre entry passes appstreamcli validate
#   mime-type     shared-mime-info knows animation files by their name and their content
#   starts        the installed program starts with an animation and shows its window
#   versions      the metainfo, manual pages and package give the program's own version
set -euo pipefail
build=$1
check=$2
here=$(cd "$(dirname "$0")" && pwd)
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
entry=$prefix/share/applications/example.orvik.Torvel.desktop

case $check in
  files)
    diff -u "$here/installed_files.txt" \
      <(cd "$prefix" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
    ;;
  icons)
    hicolor=$prefix/share/icons/hicolor
    for icon in $(cd "$hicolor" && find . -name '*.png' -o -name '*.svg'); do
      size=$(identify -format '%wx%h' "$hicolor/$icon")
      expected=$(echo "$icon" | cut -d/ -f2)
      [ "$expected" = scalable ] && expected=256x256
      [ "$size" = "$expected" ] || { echo "$icon is $size, not $expected" >&2; exit 1; }
    done
    ;;
  desktop-entry)
    desktop-file-validate "$entry"
    grep -qx 'Exec=torvel %f' "$entry"
    grep -qx 'MimeType=application/x-torvel-animation;' "$entry"
    grep -qx 'Icon=example.orvik.Torvel' "$entry"
    test -f "$prefix/share/icons/hicolor/48x48/apps/example.orvik.Torvel.png"
    # The cache file managers read to offer programs for a file type.
    update-desktop-database "$prefix/share/applications"
    grep -qx 'application/x-torvel-animation=example.orvik.Torvel.desktop;' \
      "$prefix/share/applications/mimeinfo.cache"
    ;;
  metainfo)
    appstreamcli validate --no-net "$prefix/share/metainfo/example.orvik.Torvel.metainfo.xml"
    ;;
  mime-type)
    # The file type as the desktop's database compiles it.
    update-mime-database "$prefix/share/mime"
    grep -qx '50:application/x-torvel-animation:\*\.san' "$prefix/share/mime/globs2"
    magic=$(grep -a -A2 'application/x-torvel-animation' "$prefix/share/mime/magic")
    echo "$magic" | grep -aq 'TPF0'
    echo "$magic" | grep -aq 'TSAN'
    grep -q '^application/x-torvel-animation:application-x-torvel-animation$' \
      "$prefix/share/mime/icons"
    test -f "$prefix/share/icons/hicolor/scalable/mimetypes/application-x-torvel-animation.svg"
    ;;
  versions)
    version=$(sed -n 's/.*kVersionText = "\(.*\)";/\1/p' "$here/../../src/app/main_window.h")
    [ -n "$version" ]
    grep -q "<release version=\"$version\"" \
      "$prefix/share/metainfo/example.orvik.Torvel.metainfo.xml"
    grep -q "^\.TH TORVEL 1 .* \"Torvel $version\"" "$prefix/share/man/man1/torvel.1"
    grep -q "^\.TH TORVEL-CLI 1 .* \"Torvel $version\"" "$prefix/share/man/man1/torvel-cli.1"
    grep -q "^set(CPACK_PACKAGE_VERSION \"$version\")" "$build/CPackConfig.cmake"
    ;;
  starts)
    "$here/smoke_test.sh" "$prefix" "$build/data/support/Bouncing Ball.san"
    ;;
  *)
    echo "install_test.sh: unknown check $check" >&2
    exit 2
    ;;
esac
echo "$check: passed"
