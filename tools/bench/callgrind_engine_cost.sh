#!/bin/sh
# The engine's instruction count over the plain decode loops', counted by
# valgrind's callgrind (which, unlike a timing, does not depend on the
# machine's load). Plays one generated file through the whole engine (the
# decoding thread and the capture device's thread are counted) and decodes it
# with the plain libmad or Tremor loop (that function is counted), then prints
# the ratio for MP3, MP3 with the equalizer, and Ogg Vorbis.
#
#   tools/bench/callgrind_engine_cost.sh [BUILD_DIRECTORY] [SECONDS]
#
# Needs valgrind, sox, lame and oggenc (tools/install-deps.sh test).
set -eu
build=${1:-build}
seconds=${2:-20}
subject="$build/tools/bench/engine_cost_subject"
[ -x "$subject" ] || { echo "no $subject: build the project first" >&2; exit 1; }
for tool in valgrind sox lame oggenc; do
  command -v "$tool" >/dev/null || { echo "callgrind_engine_cost: needs $tool" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Music-like input: two tones and some noise, stereo at 44.1 kHz.
sox -R -n -r 44100 -c 2 -b 16 "$work/in.wav" synth "$seconds" sine 440 sine 660 synth pinknoise mix gain -8
lame --quiet --noreplaygain -b 192 "$work/in.wav" "$work/in.mp3"
oggenc --quiet -q 5 -o "$work/in.ogg" "$work/in.wav"

# Instructions executed within the given functions (and what they call).
count() {
  out="$work/callgrind.out"
  collect=$1
  shift
  valgrind --tool=callgrind --callgrind-out-file="$out" --collect-atstart=no $collect "$subject" "$@" \
    >/dev/null 2>"$work/valgrind.log" || { cat "$work/valgrind.log" >&2; exit 1; }
  sed -n 's/^summary: *\([0-9]*\).*/\1/p' "$out"
}
engine_threads="--toggle-collect=*RunThreadFunction* --toggle-collect=*CaptureWaveOutDevice::Capture*"

report() {
  awk -v name="$1" -v engine="$2" -v plain="$3" 'BEGIN {
    printf "%-20s %14.0f %14.0f   ratio %.4f (%+.2f %%)\n", name, engine, plain, engine / plain, 100 * (engine / plain - 1) }'
}

mp3_plain=$(count "--toggle-collect=DecodeWithPlainLibmadLoop*" plain "$work/in.mp3")
mp3_engine=$(count "$engine_threads" engine "$work/in.mp3")
mp3_equalized=$(count "$engine_threads" engine-eq "$work/in.mp3")
ogg_plain=$(count "--toggle-collect=DecodeWithPlainTremorLoop*" plain "$work/in.ogg")
ogg_engine=$(count "$engine_threads" engine "$work/in.ogg")

echo "instructions over $seconds s of 44.1 kHz stereo (engine, plain loop)"
report "MP3:" "$mp3_engine" "$mp3_plain"
report "MP3, equalizer:" "$mp3_equalized" "$mp3_plain"
report "Ogg Vorbis:" "$ogg_engine" "$ogg_plain"
