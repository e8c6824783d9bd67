#!/usr/bin/env bash
# Every include points down the layers: platform < services < formats < cells < export < import < widgets
# < editor < app, with cli on top of the core. The build's libraries stop calls upward; this stops
# header-only uses too. Usage: layers_test.sh SOURCE_DIR
set -euo pipefail
cd "$1/src"
layers=(platform services formats cells export import widgets editor app)
failed=0
for ((i = 0; i < ${#layers[@]}; i++)); do
  for above in "${layers[@]:i+1}" cli; do
    if grep -rn "#include \"$above/" "${layers[i]}"; then
      echo "${layers[i]} includes $above, which stands above it" >&2
      failed=1
    fi
  done
done
# The Qt-free part of the platform layer does not include its Qt part.
if grep -rn '#include "platform/qt/' platform --include=*.cpp --include=*.h --exclude-dir=qt; then
  echo "the Qt-free platform layer includes its Qt part" >&2
  failed=1
fi
exit $failed
