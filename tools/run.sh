#!/usr/bin/env bash
# Sets everything up, builds the player and starts it in its window. On a
# machine without a display it says so; xvfb-run gives it a virtual one.
# Installs only what building and running need: tools/test.sh adds the rest.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/tools/install-deps.sh" run
# The tests and benchmarks need packages this command does not install: a new
# build tree leaves them out (tools/test.sh turns them on), an existing one
# keeps its choice.
options=()
[ -f "$root/build/CMakeCache.txt" ] || options=(-DTUNELARK_BUILD_TESTS=OFF -DTUNELARK_BUILD_BENCHMARKS=OFF)
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}" >/dev/null
# Ninja's progress lines are left out: the compiler's messages still show.
echo "building the player in build/ (a few minutes the first time)"
cmake --build "$root/build" -j "$(nproc)" --target tunelark tunelark-cli tunelark-skin-preview -- --quiet
exec "$root/build/tunelark" "$@"
