#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time (FUZZ_SECONDS, default 30).
set -euo pipefail
cd "$(dirname "$0")/.."
if ! ls tests/fuzz/*.cpp >/dev/null 2>&1; then
  echo "fuzz-all: no fuzz targets in tests/fuzz: nothing was fuzzed" >&2
  exit 1
fi
cmake --preset fuzz -DTARNWICK_TEST_FOLDERS=none
targets=$(for source in tests/fuzz/*.cpp; do basename "$source" .cpp; done)
# shellcheck disable=SC2086
cmake --build --preset fuzz --target $targets
seconds=${FUZZ_SECONDS:-30}
for source in tests/fuzz/*.cpp; do
  name=$(basename "$source" .cpp)
  corpus=build/fuzz/corpus/$name
  mkdir -p "$corpus"
  echo "fuzzing $name for ${seconds}s"
  log=build/fuzz/$name.log
  if ! "build/fuzz/tests/fuzz/$name" -max_total_time="$seconds" -print_final_stats=1 "$corpus" >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "fuzz target $name failed"
    exit 1
  fi
  grep -E '^stat::number_of_executed_units' "$log" || tail -n 2 "$log"
done
