#!/usr/bin/env bash
# Sets everything up and runs the whole test suite: the plain build, then the
# AddressSanitizer + UBSan build over every test and the ThreadSanitizer build
# over the engine, format and platform tests, then a short run of every
# fuzzing harness (tools/fuzz.sh). Build trees go to build/, build-asan/,
# build-tsan/ and build-fuzz/. A failing stage does not stop the later ones;
# the last line sums them all: "N passed, N failed" (", N skipped" when any
# test skipped). A build that fails stops the run and counts as one failure.
set -euo pipefail

# The body is one block, read whole before it runs: editing this file during
# a long run cannot change the run.
{
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

jobs=$(nproc)
passed=0
failed=0
skipped=0
stage="installing the packages"

print_total() {
  local status=$?
  if [ "$status" -ne 0 ] && [ -n "$stage" ]; then
    echo "stopped: $stage failed" >&2
    failed=$((failed + 1))
  fi
  local total="$passed passed, $failed failed"
  [ "$skipped" -gt 0 ] && total+=", $skipped skipped"
  echo
  echo "$total"
  [ "$failed" -eq 0 ] && exit 0
  exit 1
}
trap print_total EXIT

bash tools/install-deps.sh test

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
# to the totals; failing tests do not stop the run.
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
stage="the plain build"
configure build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTUNELARK_BUILD_BENCHMARKS=ON
cmake --build build -j "$jobs"
run_suite build

echo "== AddressSanitizer + UBSan =="
stage="the AddressSanitizer build"
configure build-asan -DCMAKE_BUILD_TYPE=Debug -DTUNELARK_SANITIZE=address -DTUNELARK_BUILD_BENCHMARKS=OFF
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0" run_suite build-asan

echo "== ThreadSanitizer (engine, formats, platform) =="
stage="the ThreadSanitizer build"
# Only the test programs this stage runs (and what they run): the player and
# its windows are left to the other stages.
tsan_programs=(engine_tests formats_tests platform_tests)
configure build-tsan -DCMAKE_BUILD_TYPE=Debug -DTUNELARK_SANITIZE=thread -DTUNELARK_BUILD_BENCHMARKS=OFF
cmake --build build-tsan -j "$jobs" --target "${tsan_programs[@]}"
labels=$(IFS='|'; echo "${tsan_programs[*]}")
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 run_suite build-tsan -L "^($labels)\$"

echo "== fuzzing: regression corpus, then 20 s per harness =="
stage=""
fuzz_log=$root/build-fuzz/fuzz-summary.log
mkdir -p build-fuzz
bash tools/fuzz.sh 20 | tee "$fuzz_log" || true
# Its last line: "fuzzing: N passed, N failed".
fuzz_passed=$(sed -n 's/^fuzzing: \([0-9]*\) passed, [0-9]* failed$/\1/p' "$fuzz_log" | tail -n 1)
fuzz_failed=$(sed -n 's/^fuzzing: [0-9]* passed, \([0-9]*\) failed$/\1/p' "$fuzz_log" | tail -n 1)
if [ -n "$fuzz_passed" ] && [ -n "$fuzz_failed" ]; then
  passed=$((passed + fuzz_passed))
  failed=$((failed + fuzz_failed))
else
  echo "the fuzzing stage did not finish" >&2
  failed=$((failed + 1))
fi
exit
}
