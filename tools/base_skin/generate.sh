#!/usr/bin/env bash
# Builds the base-skin generator and redraws resources/ with it: the base
# skin bitmaps, the icon, the Prev/Next pictures and the click sound.
# Usage: tools/base_skin/generate.sh [BUILD_DIR]   (default build)
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-"$root/build"}

if [[ ! -f "$build/build.ninja" && ! -f "$build/Makefile" ]]; then
  cmake -S "$root" -B "$build" -G Ninja -DTUNELARK_WARNINGS_AS_ERRORS=ON
fi
cmake --build "$build" --target base_skin_generator -j "$(nproc)"
"$build/tools/base_skin/base_skin_generator" "$root/resources"
echo "resources written to $root/resources"
