#!/usr/bin/env bash
# The checks that follow the main test run (test.sh): the formatting, the whole test suite
# again under AddressSanitizer and UndefinedBehaviorSanitizer (build-asan), then
# each libFuzzer target for a bounded time (build-fuzz, clang). Exits non-zero
# when anything fails. QUORVANE_FUZZ_SECONDS sets the time per fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
jobs="$(nproc)"
fuzz_seconds="${QUORVANE_FUZZ_SECONDS:-30}"

echo "== Formatting"
scripts/check_format.sh

echo "== Test suite under AddressSanitizer and UndefinedBehaviorSanitizer (build-asan)"
cmake --preset sanitize
cmake --build --preset sanitize -j"$jobs"
export ASAN_OPTIONS="detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1"
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
(cd build-asan && ctest --output-on-failure -j"$jobs")

echo "== Fuzzing, ${fuzz_seconds} s per target (build-fuzz)"
cmake --preset fuzz
cmake --build --preset fuzz -j"$jobs"
unset ASAN_OPTIONS LSAN_OPTIONS
passed=0
failed=0
for source in tests/fuzz/fuzz_*.cpp; do
  target="$(basename "$source" .cpp)"
  corpus="tests/fuzz/corpus/$target"
  # New inputs go to a scratch folder; the corpus in the repository stays small.
  scratch="$(mktemp -d)"
  mkdir -p build-fuzz/artifacts
  echo "-- $target"
  if ./build-fuzz/"$target" -max_total_time="$fuzz_seconds" -print_final_stats=1 \
      -artifact_prefix="build-fuzz/artifacts/$target-" "$scratch" "$corpus"; then
    passed=$((passed + 1))
  else
    echo "$target failed; the input that failed is in build-fuzz/artifacts/"
    failed=$((failed + 1))
  fi
  rm -rf "$scratch"
done
echo "fuzzing: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
