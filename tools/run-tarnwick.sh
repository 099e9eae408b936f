#!/usr/bin/env bash
# Runs tarnwick.exe under Wine on a virtual desktop with a taskbar, against the test-double setupapi.dll
# and a simulated machine (tools/sample-machine.txt, copied to build/windows/run/machine.txt), so it
# switches simulated adapters only and never a real network. Arguments go to the program, for example:
#   tools/run-tarnwick.sh -elevation -action turnon 5
# Without a display it starts Xvfb and saves a screenshot to build/windows/run/screenshot.png.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$PWD/build/windows
run=$build/run
mkdir -p "$run"
cp "$build/src/app/win32/tarnwick.exe" "$build/testing/setupapi.dll" "$run/"
[ -f "$run/machine.txt" ] || cp tools/sample-machine.txt "$run/machine.txt"

headless=no
[ -n "${DISPLAY:-}" ] || headless=yes
source tools/wine-env.sh "$run/tarnwick.exe"
tools/wine-setup.sh "$run/tarnwick.exe"
if [ -z "${DISPLAY:-}" ]; then
  read -r num _ < "$TARNWICK_XVFB_STATE"
  export DISPLAY=":$num"
fi

echo "Tarnwick is starting in the notification area of the Wine desktop; the simulated machine is"
echo "$run/machine.txt (adapters with 'problem 22' are switched off)."
WINEDLLOVERRIDES=setupapi=n TARNWICK_SIMULATED_MACHINE="Z:${run//\//\\}\\machine.txt" \
  wine explorer /desktop=shell,1280x800 "$run/tarnwick.exe" "$@" >"$run/wine.log" 2>&1 </dev/null &
desktop=$!
if [ "$headless" = yes ]; then
  sleep 10
  import -display "$DISPLAY" -window root "$run/screenshot.png" && echo "screenshot: $run/screenshot.png"
  echo "Running headless on $DISPLAY; press Ctrl-C to stop."
fi
trap 'kill $desktop 2>/dev/null; wineserver -k 2>/dev/null' INT TERM
wait "$desktop"
