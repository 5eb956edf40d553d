#!/usr/bin/env bash
# The real player in a real window on a virtual display: it opens at twice
# the handheld's screen with its default playlist, shows the main window, a
# second start brings it forward and exits 0, a click on Play reaches the
# sound device and a click on Stop stops it, and a close shuts it down in
# order (the settings and the playlist are saved). Bounded in time; cleans up
# after itself.
set -euo pipefail

player=${1:?usage: player_window_test.sh PATH_TO_TUNELARK}
fixtures=${2:?usage: player_window_test.sh PATH_TO_TUNELARK FIXTURES_DIRECTORY}

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
# The capture device writes the sound to a file as fast as it is decoded: a
# track of over two hours keeps it growing until Stop.
capture=$work/capture.wav
export TUNELARK_AUDIO=capture:$capture
mkdir -p "$TUNELARK_HOME"
echo "$fixtures/long_130min.mp3" > "$TUNELARK_HOME/default.lst"

"$player" &
player_pid=$!

window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Tunelark$' | head -n 1) || fail "no window appeared"
geometry=$(xdotool getwindowgeometry "$window" | awk '/Geometry/ {print $2}')
[ "$geometry" = "480x640" ] || fail "window is $geometry, expected 480x640"

# The skinned windows cover the frame: none of its white shows.
sleep 0.5
import -window "$window" "$work/shot.png"
pixel_at() { convert "$work/shot.png" -format '%[fx:int(255*r)],%[fx:int(255*g)],%[fx:int(255*b)]' -crop "1x1+$1+$2" info:; }
[ "$(pixel_at 240 120)" != "255,255,255" ] || fail "no main window drawn"
[ "$(pixel_at 240 600)" != "255,255,255" ] || fail "no playlist window drawn"

# A second start finds the first and gives up at once.
timeout 10 "$player" || fail "the second start did not exit 0"
kill -0 "$player_pid" 2>/dev/null || fail "the first player died"

# Play: the track's sound reaches the device (a minute of 8 kHz mono is 960 kB).
xdotool mousemove --window "$window" 88 220 click 1
captured() { stat -c %s "$capture" 2>/dev/null || echo 0; }
for _ in $(seq 100); do
  [ "$(captured)" -ge 960000 ] && break
  sleep 0.1
done
[ "$(captured)" -ge 960000 ] || fail "Play did not reach the sound device"
kill -0 "$player_pid" 2>/dev/null || fail "a click ended the player"

# Stop: the sound ends there.
xdotool mousemove --window "$window" 168 220 click 1
sleep 0.5
before=$(captured)
sleep 1
[ "$(captured)" = "$before" ] || fail "Stop did not stop the playback"

# Closing the window ends the player the usual way.
kill -TERM "$player_pid"
status=0
timeout 20 tail --pid="$player_pid" -f /dev/null || fail "the player did not end"
wait "$player_pid" || status=$?
player_pid=
[ "$status" -eq 0 ] || fail "the player exited with $status"
[ -f "$TUNELARK_HOME/registry.txt" ] || fail "the settings were not saved at shutdown"
grep -q "long_130min.mp3" "$TUNELARK_HOME/default.lst" || fail "the playlist was not saved at shutdown"
echo "1 passed, 0 failed"
