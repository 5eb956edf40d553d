#!/usr/bin/env bash
# Sets everything up, builds the player and starts it. Until the windows
# exist, the player is the headless tunelark-cli: it plays the files given
# (with none, the audio files of the current directory) with real sound.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/tools/install-deps.sh"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" -j "$(nproc)" --target tunelark-cli

if [ $# -gt 0 ]; then
  exec "$root/build/tools/tunelark-cli" play "$@"
fi
shopt -s nullglob nocaseglob
files=(./*.mp3 ./*.mp2 ./*.mpa ./*.rmp ./*.wav ./*.ogg)
if [ ${#files[@]} -eq 0 ]; then
  exec "$root/build/tools/tunelark-cli" --help
fi
exec "$root/build/tools/tunelark-cli" play "${files[@]}"
