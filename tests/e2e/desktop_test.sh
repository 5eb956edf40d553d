#!/usr/bin/env bash
# The real player as a desktop program on a virtual display: its command
# line (help, version, a bad option), a later start whose files replace the
# list and play, one with --enqueue that appends, the window opening at the
# largest zoom the display has room for, idle without OpenGL, processor
# time or much memory, the zoom keys resizing it, Ctrl+Q closing it in
# order, and the zoom kept for the next start. Bounded in time; cleans up
# after itself.
set -euo pipefail

player=$(realpath "${1:?usage: desktop_test.sh PATH_TO_TUNELARK FIXTURES_DIRECTORY}")
fixtures=$(realpath "${2:?usage: desktop_test.sh PATH_TO_TUNELARK FIXTURES_DIRECTORY}")

fail() { echo "FAILED: $*" >&2; exit 1; }

# The command line needs no display.
"$player" --help | grep -q '^usage: tunelark \[--enqueue\]' || fail "--help"
"$player" --version | grep -Eq '^tunelark [0-9]' || fail "--version"
status=0
"$player" --bogus 2>"${TMPDIR:-/tmp}/tunelark-misuse.$$" || status=$?
grep -q '^usage: tunelark' "${TMPDIR:-/tmp}/tunelark-misuse.$$" || fail "a bad option shows no usage on stderr"
rm -f "${TMPDIR:-/tmp}/tunelark-misuse.$$"
[ "$status" -eq 2 ] || fail "a bad option exited $status, expected 2"

if [ -z "${TUNELARK_E2E_DISPLAY:-}" ]; then
  export TUNELARK_E2E_DISPLAY=1
  # 1200 usable pixels: room for zoom 3 with a title bar.
  exec xvfb-run -a -s "-screen 0 1600x1200x24" bash "$0" "$@"
fi

work=$(mktemp -d)
player_pid=
cleanup() {
  [ -n "$player_pid" ] && kill -9 "$player_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

export TUNELARK_HOME=$work/home
export XDG_RUNTIME_DIR=$work/run
export SDL_AUDIODRIVER=dummy
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
unset TUNELARK_ZOOM
mkdir -p -m 700 "$XDG_RUNTIME_DIR" "$TUNELARK_HOME"
capture=$work/capture.wav
export TUNELARK_AUDIO=capture:$capture
echo "$fixtures/short.mp3" > "$TUNELARK_HOME/default.lst"

captured() { stat -c %s "$capture" 2>/dev/null || echo 0; }
geometry() { xdotool getwindowgeometry "$window" | awk '/Geometry/ {print $2}'; }
# Waits up to five seconds for the window to take `size`.
expect_size() {
  for _ in $(seq 50); do
    [ "$(geometry)" = "$1" ] && return 0
    sleep 0.1
  done
  fail "$2: the window is $(geometry), expected $1"
}
start_player() {
  "$player" &
  player_pid=$!
  window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Tunelark$' | head -n 1) || fail "no window appeared"
  xdotool windowfocus --sync "$window"
}
stop_player() {
  local status=0
  timeout 20 tail --pid="$player_pid" -f /dev/null || fail "the player did not end"
  wait "$player_pid" || status=$?
  player_pid=
  [ "$status" -eq 0 ] || fail "the player exited with $status"
}

# Idle, the player shows its screen through the window's own surface: no
# OpenGL library is loaded, it takes no processor time and little memory.
idle_checks() {
  local maps=/proc/$player_pid/maps
  ! grep -Eq 'libGL|libEGL|libLLVM|swrast|_dri' "$maps" || fail "an OpenGL library is loaded"
  local before after
  before=$(awk '{print $14 + $15}' "/proc/$player_pid/stat")
  sleep 3
  after=$(awk '{print $14 + $15}' "/proc/$player_pid/stat")
  [ $((after - before)) -le 1 ] || fail "idle, the player used $((after - before)) ticks of processor time in 3 s"
  # Sanitizer builds keep shadow memory: their size says nothing.
  if ! grep -q 'libasan\|libtsan' "$maps"; then
    local resident
    resident=$(awk '/^VmRSS/ {print $2}' "/proc/$player_pid/status")
    [ "$resident" -le 25600 ] || fail "idle, the player keeps $resident kB resident"
  fi
}
# The window shows the skin (not the black it is cleared to) at (x, y).
drawn_at() {
  import -window "$window" "$work/shot.png"
  local pixel
  pixel=$(convert "$work/shot.png" -format '%[fx:int(255*r)],%[fx:int(255*g)],%[fx:int(255*b)]' -crop "1x1+$1+$2" info:)
  [ "$pixel" != "0,0,0" ] || fail "$3: nothing drawn at $1,$2"
}

start_player
expect_size 720x960 "the first start"
sleep 0.5
drawn_at 360 600 "the first start"
idle_checks

# A later start, in another directory, with relative paths: they replace the
# list and the first plays.
(cd "$fixtures" && timeout 10 "$player" long_130min.mp3 cbr128.mp3) || fail "the later start did not exit 0"
for _ in $(seq 100); do
  [ "$(captured)" -ge 960000 ] && break
  sleep 0.1
done
[ "$(captured)" -ge 960000 ] || fail "the handed-over file did not play"
timeout 10 "$player" --enqueue "file://$fixtures/id3v1.mp3" || fail "the enqueueing start did not exit 0"

# The zoom keys resize the window at once.
xdotool key --clearmodifiers ctrl+plus
expect_size 960x1280 "Ctrl+Plus"
xdotool key --clearmodifiers ctrl+minus ctrl+minus
expect_size 480x640 "Ctrl+Minus twice"
sleep 0.5
drawn_at 240 400 "after zooming"

# Ctrl+Q closes the player the usual way: the list and the zoom are kept.
xdotool key --clearmodifiers ctrl+q
stop_player
grep -q '"Zoom"=dword:00000002' "$TUNELARK_HOME/registry.txt" || fail "the zoom was not kept"
printf '%s\n' "$fixtures/long_130min.mp3" "$fixtures/cbr128.mp3" "$fixtures/id3v1.mp3" > "$work/expected.lst"
diff "$work/expected.lst" "$TUNELARK_HOME/default.lst" || fail "the list is not the handed-over files"

# The next start opens at the kept zoom; Ctrl+0 goes back to what fits.
start_player
expect_size 480x640 "the start after a choice"
xdotool key --clearmodifiers ctrl+0
expect_size 720x960 "Ctrl+0"
kill -TERM "$player_pid"
stop_player
grep -q '"Zoom"=dword:00000000' "$TUNELARK_HOME/registry.txt" || fail "Ctrl+0 did not forget the choice"
echo "1 passed, 0 failed"
