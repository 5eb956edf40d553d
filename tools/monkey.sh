#!/usr/bin/env bash
# Lets the monkey loose on the whole player for many events (a million by
# default) under AddressSanitizer + UBSan, in build-asan/.
#
# usage: tools/monkey.sh [EVENTS] [SEED]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
events=${1:-1000000}
seed=${2:-$(date +%s)}

bash tools/install-deps.sh test
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTUNELARK_SANITIZE=address -DTUNELARK_BUILD_BENCHMARKS=OFF
cmake --build build-asan --target ui_tests
bash tests/fixtures/make_fixtures.sh build-asan/fixtures
echo "monkey: $events events, seed $seed"
TUNELARK_FIXTURES="$root/build-asan/fixtures" TUNELARK_MONKEY_EVENTS=$events TUNELARK_MONKEY_SEED=$seed \
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0" \
  build-asan/tests/ui_tests --gtest_filter='Monkey.*'
