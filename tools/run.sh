#!/usr/bin/env bash
# Sets everything up, builds the player and starts it in its window. On a
# machine without a display it says so; xvfb-run gives it a virtual one.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/tools/install-deps.sh"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" -j "$(nproc)" --target tunelark tunelark-cli
exec "$root/build/tunelark" "$@"
