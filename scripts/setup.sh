#!/usr/bin/env bash
# Installs the Debian packages Torvel needs to build, test and run.
# Sourced by run.sh and test.sh; safe to run again (installs only what is missing).
set -euo pipefail

TORVEL_PACKAGES=(
  cmake ninja-build pkg-config g++ clang libclang-rt-14-dev clang-format
  qt6-base-dev libgl-dev zlib1g-dev libjpeg-dev libpng-dev
  qt6-translations-l10n # Qt's own texts (file dialogs, key names) in the desktop's language
  libgif-dev libimagequant-dev libwebp-dev # the export formats
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-image-formats-plugins ffmpeg # the tests read exported WebP and APNG files back
  xvfb xauth x11-utils openbox xdotool xclip
  qt6ct # a dark desktop palette for the end-to-end screenshot
  libwayland-dev qt6-wayland # the clipboard on Wayland desktops, over data control
  sway wl-clipboard wtype grim weston xwayland # the end-to-end tests on Wayland compositors
  mutter dbus-daemon # GNOME's compositor, nested in an X window, with a session bus of its own
  at-spi2-core python3-pyatspi # the accessibility end-to-end test reads the tree as Orca does
  imagemagick libmagickcore-6.q16-6-extra # the extra coders read the scalable icons
  desktop-file-utils appstream shared-mime-info dpkg-dev file # cpack -G DEB runs file
)

torvel_missing_packages() {
  local missing=()
  for pkg in "${TORVEL_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" ||
      missing+=("$pkg")
  done
  echo "${missing[@]:-}"
}

torvel_install_packages() {
  local missing
  missing=$(torvel_missing_packages)
  [ -z "$missing" ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Torvel needs these Debian packages: $missing" >&2
    echo "Install them as root: apt-get install $missing" >&2
    exit 1
  fi
  echo "Installing: $missing"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  # shellcheck disable=SC2086
  apt-get install -y -qq --no-install-recommends $missing
}

torvel_configure_and_build() {
  local dir=$1
  shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$(nproc)"
}
