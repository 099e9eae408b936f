#!/usr/bin/env bash
# Builds and runs every benchmark: the native ones over the simulator (bench preset) and the Wine one,
# tarnwick.exe against its floor programs (windows preset). Exits non-zero when any is over its bar.
# Arguments go to the Wine benchmark, for example: tools/bench-all.sh --rounds 9 --idle-seconds 60
set -uo pipefail
cd "$(dirname "$0")/.."
cmake --preset bench >/dev/null && cmake --build --preset bench || exit 1
cmake --preset windows >/dev/null && cmake --build --preset windows || exit 1
status=0
for program in build/bench/bench/*Bench; do
  [ -x "$program" ] || continue
  echo "== $(basename "$program")"
  "$program" || status=1
done
echo "== Wine"
bench/wine/run-wine-bench.sh "$@" || status=1
exit $status
