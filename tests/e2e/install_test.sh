#!/usr/bin/env bash
# `cmake --install` into a temporary DESTDIR lands the programs, the desktop
# entry and the icon at every size of the icon theme, where a desktop looks
# for them; the installed entry validates and starts the installed program.
set -euo pipefail

build=${1:?usage: install_test.sh BUILD_DIRECTORY}
fail() { echo "FAILED: $*" >&2; exit 1; }

destination=$(mktemp -d)
trap 'rm -rf "$destination"' EXIT
prefix=/usr/local
DESTDIR=$destination cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install failed"
root=$destination$prefix

for program in tunelark tunelark-cli; do
  [ -x "$root/bin/$program" ] || fail "bin/$program is missing or not executable"
done
"$root/bin/tunelark" --version | grep -q '^tunelark ' || fail "the installed tunelark does not run"

entry=$root/share/applications/tunelark.desktop
[ -f "$entry" ] || fail "the desktop entry is missing"
desktop-file-validate "$entry" || fail "the installed desktop entry does not validate"
grep -qx 'Exec=tunelark %U' "$entry" || fail "the entry does not start tunelark with the chosen files"

for side in 16 32 48 64 128 256; do
  icon=$root/share/icons/hicolor/${side}x${side}/apps/tunelark.png
  [ -f "$icon" ] || fail "the ${side} pixel icon is missing"
  [ "$(identify -format '%wx%h' "$icon")" = "${side}x${side}" ] || fail "the ${side} pixel icon has the wrong size"
done
echo "1 passed, 0 failed"
