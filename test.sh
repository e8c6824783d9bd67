#!/usr/bin/env bash
# Builds everything and runs every test:
#  1. a clang build of the core with AddressSanitizer and UndefinedBehaviorSanitizer, which also
#     runs each fuzz target for a short while on its seed corpus;
#  2. the regular build with all unit and UI tests (Qt's offscreen platform).
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
torvel_install_packages

export QT_QPA_PLATFORM=offscreen

echo "== Sanitizer and fuzz build (clang) =="
CC=clang CXX=clang++ torvel_configure_and_build build-fuzz \
  -DCMAKE_BUILD_TYPE=Debug -DTORVEL_UI=OFF -DTORVEL_FUZZ=ON -DTORVEL_WERROR=ON
(cd build-fuzz && ctest --output-on-failure -j "$(nproc)")

echo "== Regular build =="
torvel_configure_and_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTORVEL_WERROR=ON
cd build
ctest --output-on-failure -j "$(nproc)"
