#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time (FUZZ_SECONDS, default 30).
set -euo pipefail
cd "$(dirname "$0")/.."
if ! ls tests/fuzz/*.cpp >/dev/null 2>&1; then
  exit 0
fi
cmake --preset fuzz
cmake --build --preset fuzz
seconds=${FUZZ_SECONDS:-30}
for source in tests/fuzz/*.cpp; do
  name=$(basename "$source" .cpp)
  corpus=build/fuzz/corpus/$name
  mkdir -p "$corpus"
  echo "fuzzing $name for ${seconds}s"
  "build/fuzz/tests/fuzz/$name" -max_total_time="$seconds" -print_final_stats=1 "$corpus" 2>&1 | tail -n 3
  [ "${PIPESTATUS[0]}" -eq 0 ] || { echo "fuzz target $name failed"; exit 1; }
done
