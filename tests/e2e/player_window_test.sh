#!/usr/bin/env bash
# The real player in a real window on a virtual display: it opens at twice
# the handheld's screen, shows its white frame, a second start brings it
# forward and exits 0, a click reaches it, and a close shuts it down in order
# (the settings are saved). Bounded in time; cleans up after itself.
set -euo pipefail

player=${1:?usage: player_window_test.sh PATH_TO_TUNELARK}

if [ -z "${TUNELARK_E2E_DISPLAY:-}" ]; then
  export TUNELARK_E2E_DISPLAY=1
  exec xvfb-run -a -s "-screen 0 640x720x24" bash "$0" "$@"
fi

work=$(mktemp -d)
player_pid=
cleanup() {
  [ -n "$player_pid" ] && kill -9 "$player_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FAILED: $*" >&2; exit 1; }

export TUNELARK_HOME=$work/home
export XDG_RUNTIME_DIR=$work/run
export SDL_AUDIODRIVER=dummy
# In the sanitizer build, the X11 and D-Bus libraries behind a real window
# keep allocations to the end of the process; memory errors are still caught.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
unset TUNELARK_ZOOM
mkdir -p -m 700 "$XDG_RUNTIME_DIR"

"$player" &
player_pid=$!

window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Tunelark$' | head -n 1) || fail "no window appeared"
geometry=$(xdotool getwindowgeometry "$window" | awk '/Geometry/ {print $2}')
[ "$geometry" = "480x640" ] || fail "window is $geometry, expected 480x640"

# The frame's white background fills the screen below the navigation bar.
sleep 0.5
import -window "$window" "$work/shot.png"
pixel=$(convert "$work/shot.png" -format '%[fx:int(255*r)],%[fx:int(255*g)],%[fx:int(255*b)]' -crop 1x1+240+400 info:)
[ "$pixel" = "255,255,255" ] || fail "frame pixel is $pixel, expected white"

# A second start finds the first and gives up at once.
timeout 10 "$player" || fail "the second start did not exit 0"
kill -0 "$player_pid" 2>/dev/null || fail "the first player died"

xdotool mousemove --window "$window" 100 100 click 1
kill -0 "$player_pid" 2>/dev/null || fail "a click ended the player"

# Closing the window ends the player the usual way.
kill -TERM "$player_pid"
status=0
timeout 20 tail --pid="$player_pid" -f /dev/null || fail "the player did not end"
wait "$player_pid" || status=$?
player_pid=
[ "$status" -eq 0 ] || fail "the player exited with $status"
[ -f "$TUNELARK_HOME/registry.txt" ] || fail "the settings were not saved at shutdown"
echo "1 passed, 0 failed"
