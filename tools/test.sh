#!/usr/bin/env bash
# Sets everything up and runs the whole test suite: the plain build, then the
# AddressSanitizer + UBSan build over every test and the ThreadSanitizer build
# over the engine, format and platform tests, then a short run of every
# fuzzing harness (tools/fuzz.sh). Build trees go to build/, build-asan/,
# build-tsan/ and build-fuzz/. A failing stage does not stop the later ones;
# the last line sums them all.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash tools/install-deps.sh test

jobs=$(nproc)
passed=0
failed=0
skipped=0

configure() {
  local directory=$1
  shift
  cmake -S . -B "$directory" -G Ninja -DTUNELARK_WARNINGS_AS_ERRORS=ON -DTUNELARK_BUILD_TESTS=ON "$@"
}

# junit_count FILE ATTRIBUTE: a count of the ctest report's test suite.
junit_count() {
  grep -m 1 -o "$2=\"[0-9]*\"" "$1" | grep -o '[0-9]*'
}

# run_suite DIRECTORY [CTEST ARGUMENTS]: runs the tests and adds their counts
# to the totals.
run_suite() {
  local directory=$1
  shift
  local report=$root/$directory/ctest-report.xml
  rm -f "$report"
  ctest --test-dir "$directory" --output-on-failure -j "$jobs" --output-junit "$report" "$@" || true
  if [ ! -f "$report" ]; then
    echo "no test report from $directory" >&2
    failed=$((failed + 1))
    return
  fi
  local total failures skips
  total=$(junit_count "$report" tests)
  failures=$(junit_count "$report" failures)
  skips=$(junit_count "$report" skipped)
  passed=$((passed + total - failures - skips))
  failed=$((failed + failures))
  skipped=$((skipped + skips))
}

echo "== plain build =="
configure build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTUNELARK_BUILD_BENCHMARKS=ON
cmake --build build -j "$jobs"
run_suite build

echo "== AddressSanitizer + UBSan =="
configure build-asan -DCMAKE_BUILD_TYPE=Debug -DTUNELARK_SANITIZE=address -DTUNELARK_BUILD_BENCHMARKS=OFF
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0" run_suite build-asan

echo "== ThreadSanitizer (engine, formats, platform) =="
# Only the test programs this stage runs: the player and its windows are
# left to the other stages.
tsan_programs=(engine_tests formats_tests platform_tests)
configure build-tsan -DCMAKE_BUILD_TYPE=Debug -DTUNELARK_SANITIZE=thread -DTUNELARK_BUILD_BENCHMARKS=OFF
cmake --build build-tsan -j "$jobs" --target "${tsan_programs[@]}"
labels=$(IFS='|'; echo "${tsan_programs[*]}")
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 run_suite build-tsan -L "^($labels)\$"

echo "== fuzzing: regression corpus, then 20 s per harness =="
fuzz_log=$root/build-fuzz/fuzz-summary.log
mkdir -p build-fuzz
bash tools/fuzz.sh 20 | tee "$fuzz_log" || true
fuzz_counts=$(grep -o '^fuzzing: [0-9]* passed, [0-9]* failed$' "$fuzz_log" | tail -n 1 || true)
if [ -n "$fuzz_counts" ]; then
  read -r fuzz_passed fuzz_failed < <(echo "$fuzz_counts" | grep -o '[0-9]*' | tr '\n' ' ')
  passed=$((passed + fuzz_passed))
  failed=$((failed + fuzz_failed))
else
  echo "the fuzzing stage did not finish" >&2
  failed=$((failed + 1))
fi

echo
summary="$passed passed, $failed failed"
[ "$skipped" -gt 0 ] && summary+=", $skipped skipped"
echo "$summary"
[ "$failed" -eq 0 ]
