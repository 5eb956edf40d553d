#!/usr/bin/env bash
# Builds the libFuzzer harnesses of tests/fuzz with clang (AddressSanitizer +
# UBSan) into build-fuzz/, runs each over its committed regression corpus
# (tests/fuzz/regressions/<name>/ for <name>_fuzz; every input must pass),
# then fuzzes each for SECONDS_PER_HARNESS from a fresh corpus of seeds made
# of the test fixtures and the hand-made inputs of tests/fuzz/corpus/<name>/.
# Prints a table of executions, coverage and findings; exits non-zero when
# anything was found.
#
#   tools/fuzz.sh [SECONDS_PER_HARNESS] [HARNESS...]
#
# Findings of the last run (crash-*, leak-*, timeout-*, oom-*) are kept under
# build-fuzz/fuzz/findings/<harness>/; run the harness on one to reproduce it:
#   build-fuzz/tests/fuzz/<harness> FILE
set -euo pipefail

# The body is one block, read whole before it runs: editing this file during
# a long run cannot change the run.
{
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
seconds=${1:-60}
shift || true
case $seconds in '' | *[!0-9]*) echo "usage: tools/fuzz.sh [SECONDS_PER_HARNESS] [HARNESS...]" >&2; exit 2 ;; esac

build=$root/build-fuzz
work=$build/fuzz
fixtures=$build/fixtures
jobs=$(nproc)

echo "== fuzz build (clang, libFuzzer, AddressSanitizer + UBSan) =="
# -O1 with line tables only: stack traces name every line, and the build
# stays short enough for CI.
optimize="-O1 -gline-tables-only"
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_FLAGS_RELWITHDEBINFO="$optimize" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="$optimize" -DTUNELARK_FUZZ=ON \
  -DTUNELARK_BUILD_TESTS=OFF -DTUNELARK_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" --target fuzzers -j "$jobs"

if [ $# -gt 0 ]; then
  harnesses=("$@")
else
  harnesses=()
  for source in tests/fuzz/*_fuzz.cpp; do
    name=${source##*/}
    harnesses+=("${name%.cpp}")
  done
fi
for harness in "${harnesses[@]}"; do
  [ -x "$build/tests/fuzz/$harness" ] || { echo "no harness named $harness" >&2; exit 2; }
done

echo "== fixtures for the seeds =="
# The fixture tools' chatter (sox's clipping warnings) is kept in a log,
# shown only when making the fixtures fails.
mkdir -p "$work/logs"
fixtures_log=$work/logs/fixtures.log
if ! bash tests/fixtures/make_fixtures.sh "$fixtures" >"$fixtures_log" 2>&1; then
  cat "$fixtures_log" >&2
  echo "cannot make the fixtures" >&2
  exit 1
fi

export ASAN_OPTIONS=detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
mkdir -p "$work"
cat tests/lsan.supp tests/fuzz/lsan.supp >"$work/lsan.supp"
export LSAN_OPTIONS="suppressions=$work/lsan.supp:print_suppressions=0"
# The harnesses write their inputs as files: memory is much faster than disk.
[ -d /dev/shm ] && [ -w /dev/shm ] && export TMPDIR=/dev/shm
# No sound card and no display are needed: the engine plays to its capture device.
unset TUNELARK_AUDIO
export SDL_AUDIODRIVER=dummy SDL_VIDEODRIVER=dummy

# The longest input each harness is fuzzed with: what its format needs to
# reach every parser on the way, and small enough to stay fast.
max_len_of() {
  case $1 in
    ogg_fuzz | flac_fuzz | opus_fuzz | skin_archive_fuzz) echo 32768 ;;
    mpeg_header_fuzz | mpeg_playback_fuzz | wave_fuzz | riff_chunks_fuzz | bmp_fuzz) echo 16384 ;;
    skin_directory_fuzz | registry_file_fuzz) echo 8192 ;;
    *) echo 4096 ;;
  esac
}

# copy_head BYTES FILE... : the first BYTES of each file into the seed directory.
copy_head() {
  local bytes=$1
  shift
  local file
  for file in "$@"; do
    [ -s "$file" ] && head -c "$bytes" "$file" >"$seeds/${file##*/}"
  done
  return 0
}

# skin_seed DIRECTORY: a skin directory in the skin_directory harness's
# format, its bitmaps replaced by one small picture to keep each run cheap.
skin_seed() {
  local skin=$1 file name
  for file in "$skin"/*; do
    name=${file##*/}
    printf '%s\n' "$name"
    case $name in
      *.txt) cat "$file" ;;
      *) cat resources/icon/tunelark_16.bmp ;;
    esac
    printf '\n--\n'
  done
}

make_seeds() {
  local harness=$1
  seeds=$work/seeds/$harness
  rm -rf "$seeds"
  mkdir -p "$seeds"
  case $harness in
    mpeg_header_fuzz | mpeg_playback_fuzz)
      copy_head "$(max_len_of "$harness")" "$fixtures"/*.mp3 "$fixtures"/*.mp2 "$fixtures/rmp3.rmp" \
        "$fixtures/wave_mp3.wav" ;;
    wave_fuzz | riff_chunks_fuzz) copy_head 16384 "$fixtures"/wave_*.wav "$fixtures/tone_short.wav" ;;
    ogg_fuzz) copy_head 32768 "$fixtures"/*.ogg ;;
    flac_fuzz) copy_head 32768 "$fixtures"/*.flac "$fixtures"/*.oga ;;
    opus_fuzz) copy_head 32768 "$fixtures"/*.opus ;;
    tag_reader_fuzz)
      copy_head 16384 "$fixtures"/id3v2_only.mp3 "$fixtures"/id3v24_utf8.mp3 "$fixtures"/cover.mp3 \
        "$fixtures"/cover.flac "$fixtures"/lower_case.ogg "$fixtures"/tagged.opus "$fixtures"/info.wav \
        "$fixtures"/id3_chunk.wav ;;
    id3v1_fuzz)
      for file in "$fixtures/id3v1.mp3" "$fixtures/short.mp3"; do
        tail -c 300 "$file" >"$seeds/${file##*/}"
      done ;;
    bmp_fuzz)
      copy_head 16384 resources/icon/*.bmp resources/*.bmp
      find resources/base_skin "$fixtures" -name '*.bmp' -size -16k -exec cp {} "$seeds/" \; ;;
    playlist_colors_fuzz)
      for skin in "$fixtures"/skin_*; do
        [ -f "$skin/pledit.txt" ] && cp "$skin/pledit.txt" "$seeds/${skin##*/}.txt"
      done ;;
    skin_directory_fuzz)
      for skin in "$fixtures"/skin_*; do
        [ -d "$skin" ] && skin_seed "$skin" >"$seeds/${skin##*/}"
      done ;;
  esac
  local family=${harness%_fuzz}
  [ -d "tests/fuzz/corpus/$family" ] && cp tests/fuzz/corpus/"$family"/* "$seeds/" 2>/dev/null
  # What once failed is worth mutating again.
  [ -d "tests/fuzz/regressions/$family" ] && cp tests/fuzz/regressions/"$family"/* "$seeds/" 2>/dev/null
  return 0
}

common_flags=(-rss_limit_mb=2560 -timeout=30 -malloc_limit_mb=2048)

echo "== regression corpus =="
failed_regressions=()
for harness in "${harnesses[@]}"; do
  files=()
  for file in "tests/fuzz/regressions/${harness%_fuzz}"/*; do
    [ -f "$file" ] && files+=("$file")
  done
  [ ${#files[@]} -eq 0 ] && continue
  log=$work/logs/$harness.regressions.log
  mkdir -p "$work/logs"
  if "$build/tests/fuzz/$harness" "${common_flags[@]}" "${files[@]}" >"$log" 2>&1; then
    echo "$harness: ${#files[@]} inputs pass"
  else
    echo "$harness: a regression input fails; see $log" >&2
    tail -n 30 "$log" >&2
    failed_regressions+=("$harness")
  fi
done

# fuzz_harness HARNESS: fuzzes one harness from a fresh corpus of its seeds;
# its exit status is kept beside its log.
fuzz_harness() {
  local harness=$1 status=0
  local corpus=$work/corpus/$harness findings=$work/findings/$harness log=$work/logs/$harness.log
  "$build/tests/fuzz/$harness" "${common_flags[@]}" -max_len="$(max_len_of "$harness")" -max_total_time="$seconds" \
    -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" >"$log" 2>&1 || status=$?
  echo "$status" >"$log.status"
}

# Each harness runs on one core: as many run side by side as there are cores.
echo "== fuzzing ${seconds}s per harness, $jobs at a time =="
running=0
for harness in "${harnesses[@]}"; do
  make_seeds "$harness"
  corpus=$work/corpus/$harness
  findings=$work/findings/$harness
  rm -rf "$corpus" "$findings" "$work/logs/$harness.log.status"
  mkdir -p "$corpus" "$findings" "$work/logs"
  cp -r "$seeds"/. "$corpus/"
  echo "-- $harness"
  if [ "$running" -ge "$jobs" ]; then
    wait -n
    running=$((running - 1))
  fi
  fuzz_harness "$harness" &
  running=$((running + 1))
done
wait

rows=()
found=0
failed_harnesses=("${failed_regressions[@]}")
for harness in "${harnesses[@]}"; do
  findings=$work/findings/$harness
  log=$work/logs/$harness.log
  status=$(cat "$log.status" 2>/dev/null || echo "?")
  executions=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -n 1 || true)
  coverage=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | grep -o '[0-9]*$' || true)
  artifacts=$(find "$findings" -maxdepth 1 -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' \
    -o -name 'oom-*' -o -name 'slow-unit-*' \) | wc -l)
  if [ "$artifacts" -gt 0 ] || [ "$status" != 0 ]; then
    found=1
    [[ " ${failed_harnesses[*]} " == *" $harness "* ]] || failed_harnesses+=("$harness")
    [ "$artifacts" -eq 0 ] && artifacts="exit $status"
    echo "-- $harness" >&2
    tail -n 40 "$log" >&2
  fi
  rows+=("$(printf '%-24s %12s %8s %10s' "$harness" "${executions:-?}" "${coverage:-?}" "$artifacts")")
done

echo
printf '%-24s %12s %8s %10s\n' harness executions coverage findings
printf '%s\n' "${rows[@]}"
if [ "$found" -ne 0 ]; then
  echo
  echo "findings (logs in $work/logs):"
  find "$work/findings" -type f | sort
fi
if [ ${#failed_regressions[@]} -gt 0 ]; then
  echo "regression inputs fail in: ${failed_regressions[*]}" >&2
fi
failed=${#failed_harnesses[@]}
echo
echo "fuzzing: $((${#harnesses[@]} - failed)) passed, $failed failed"
[ "$failed" -eq 0 ]
exit
}
