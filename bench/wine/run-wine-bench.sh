#!/usr/bin/env bash
# Builds nothing: runs the Wine benchmark of a Windows build (build/windows by default) on a Wine
# virtual desktop with a notification area, and checks the stripped size of tarnwick.exe. Exits non-zero
# when any figure is over its bar.
#   bench/wine/run-wine-bench.sh [--rounds N] [--idle-seconds S]
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${TARNWICK_BUILD_DIR:-$root/build/windows}
bench=$build/bench/wine/WineBench.exe
[ -f "$bench" ] || { echo "no $bench: build the windows preset first"; exit 1; }
source "$root/tools/wine-env.sh" "$bench"
"$root/tools/wine-setup.sh" "$bench" || exit 1
tarnwick_use_xvfb_display

status=0
# Size: the program as it ships, symbols stripped, resources included.
stripped=$(mktemp --suffix=.exe)
x86_64-w64-mingw32-strip -o "$stripped" "$build/src/app/win32/tarnwick.exe"
size=$(stat -c %s "$stripped")
rm -f "$stripped"
bar=$(sed -n 's/^constexpr long long StrippedSizeBar = \([0-9]*\);$/\1/p' "$root/bench/Bars.h")
[ -n "$bar" ] || { echo "no StrippedSizeBar in bench/Bars.h"; exit 1; }
if [ "$size" -le "$bar" ]; then verdict=within; else verdict=OVER; status=1; fi
echo "stripped tarnwick.exe: $size bytes (bar $bar) $verdict"

result=$(dirname "$bench")/wine-bench.result
rm -f "$result"
# The programs measured load the test double beside them, as in the end-to-end tests (the prefix exists
# by now: the override is never set while it is created).
WINEDLLOVERRIDES=setupapi=n wine explorer /desktop=bench,1280x800 "$bench" --result "Z:${result//\//\\}" "$@" \
  >"$(dirname "$bench")/wine-bench.out" 2>&1 </dev/null
tarnwick_result_written "$result" "$(dirname "$bench")/wine-bench.out" || exit 1
cat "$result"
[ "$(tail -n 1 "$result")" = within ] || status=1
exit $status
