#!/usr/bin/env bash
# Sets everything up and runs the whole test suite: the plain build, then the
# AddressSanitizer + UBSan build over every test and the ThreadSanitizer build
# over the engine tests, then a short run of every fuzzing harness (tools/fuzz.sh).
# Build trees go to build/, build-asan/, build-tsan/ and build-fuzz/.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash tools/install-deps.sh

jobs=$(nproc)
configure_and_build() {
  local directory=$1
  shift
  cmake -S . -B "$directory" -G Ninja -DTUNELARK_WARNINGS_AS_ERRORS=ON "$@"
  cmake --build "$directory" -j "$jobs"
}

run_suite() {
  local directory=$1
  shift
  ctest --test-dir "$directory" --output-on-failure -j "$jobs" "$@"
}

echo "== plain build =="
configure_and_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
run_suite build

echo "== AddressSanitizer + UBSan =="
configure_and_build build-asan -DCMAKE_BUILD_TYPE=Debug -DTUNELARK_SANITIZE=address -DTUNELARK_BUILD_BENCHMARKS=OFF
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0" run_suite build-asan

echo "== ThreadSanitizer (engine) =="
configure_and_build build-tsan -DCMAKE_BUILD_TYPE=Debug -DTUNELARK_SANITIZE=thread -DTUNELARK_BUILD_BENCHMARKS=OFF
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 run_suite build-tsan -L 'engine_tests|formats_tests|platform_tests'

echo "== fuzzing: regression corpus, then 20 s per harness =="
bash tools/fuzz.sh 20
