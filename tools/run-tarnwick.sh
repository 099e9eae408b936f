#!/usr/bin/env bash
# Runs tarnwick.exe under Wine on a virtual desktop with a taskbar, against the test-double setupapi.dll
# and a simulated machine (tools/sample-machine.txt, copied to build/windows/run/machine.txt), so it
# switches simulated adapters only and never a real network. Arguments go to the program, for example:
#   tools/run-tarnwick.sh -elevation -action turnon 5
# A start that ends by itself (-action list, -help, ... -exit) shows the program's output and exit code.
# One that stays in the tray runs until it is ended ("Exit" in its menu, or Ctrl-C here); without a display
# it runs on Xvfb, which it stops again when the program ends, and saves build/windows/run/screenshot.png.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$PWD/build/windows
run=$build/run
desktop=
started_xvfb=no
# Whatever ends this script ends what it started.
stop() {
  if [ -n "$desktop" ]; then kill "$desktop" 2>/dev/null || true; fi
  if [ "$started_xvfb" = yes ]; then
    tools/wine-teardown.sh "$run/tarnwick.exe"
  fi
}
trap stop EXIT
trap 'exit 130' INT TERM

mkdir -p "$run"
cp "$build/src/app/win32/tarnwick.exe" "$build/testing/setupapi.dll" "$run/"
[ -f "$run/machine.txt" ] || cp tools/sample-machine.txt "$run/machine.txt"
# cmd reads a batch file line by line: the exit code is taken after the program has ended.
printf '@start "" /b /wait "%%~dp0tarnwick.exe" %%*\r\n@echo %%errorlevel%%> "%%~dp0exit-code.txt"\r\n' > "$run/run.cmd"
rm -f "$run/exit-code.txt"

source tools/wine-env.sh "$run/tarnwick.exe"
headless=no
if [ -z "${DISPLAY:-}" ]; then
  headless=yes
  pid=
  [ -f "$TARNWICK_XVFB_STATE" ] && read -r _ pid < "$TARNWICK_XVFB_STATE"
  { [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; } || started_xvfb=yes
fi
tools/wine-setup.sh "$run/tarnwick.exe"
tarnwick_use_xvfb_display

WINEDLLOVERRIDES=setupapi=n TARNWICK_SIMULATED_MACHINE="Z:${run//\//\\}\\machine.txt" \
  wine explorer /desktop=shell,1280x800 cmd /c "Z:${run//\//\\}\\run.cmd" "$@" >"$run/wine.log" 2>&1 </dev/null &
desktop=$!

# A start that ends does so within a few seconds.
for _ in $(seq 1 50); do
  [ -f "$run/exit-code.txt" ] && break
  sleep 0.2
done
if [ -f "$run/exit-code.txt" ]; then
  wait "$desktop" || true
  desktop=
  cat "$run/wine.log"
  code=$(tr -d '\r\n ' < "$run/exit-code.txt")
  echo "tarnwick.exe ended with exit code $code"
  exit "$code"
fi

echo "Tarnwick runs in the notification area of the Wine desktop on $DISPLAY; the simulated machine is"
echo "$run/machine.txt (adapters with 'problem 22' are switched off). It ends with 'Exit' in its menu, or Ctrl-C."
if [ "$headless" = yes ]; then
  sleep 5
  import -display "$DISPLAY" -window root "$run/screenshot.png" && echo "screenshot: $run/screenshot.png"
  echo "Click it from another terminal: DISPLAY=$DISPLAY xdotool mousemove 1269 789 click 1 (the globe; 3: its menu)"
fi
wait "$desktop" || true
desktop=
[ -f "$run/exit-code.txt" ] && echo "tarnwick.exe ended with exit code $(tr -d '\r\n ' < "$run/exit-code.txt")"
exit 0
