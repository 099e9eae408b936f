#!/usr/bin/env bash
# Runs a Windows GoogleTest program on a Wine virtual desktop that has the shell's taskbar and
# notification area (the desktop named "shell"), takes the screenshots the program asks for into
# artifacts/ beside it, and passes when the program's XML report shows no failure.
set -uo pipefail
program=$1
shift
tools=$(cd "$(dirname "$0")" && pwd)
source "$tools/wine-env.sh" "$program"
"$tools/wine-setup.sh" "$program" || exit 1
tarnwick_use_xvfb_display

name=$(basename "$program" .exe)
artifacts="$(cd "$(dirname "$program")" && pwd)/artifacts"
if [ -n "${TARNWICK_WINE_DPI:-}" ]; then artifacts="$artifacts/dpi$TARNWICK_WINE_DPI"; fi
handshake="$artifacts/$name.handshake"
report="$artifacts/$name.xml"
mkdir -p "$artifacts"
rm -rf "$handshake" "$report"
mkdir -p "$handshake"
export TARNWICK_SHOT_DIR="Z:${handshake//\//\\}"

out="$artifacts/$name.out"
wine explorer /desktop=shell,1280x800 "$program" "--gtest_output=xml:Z:${report//\//\\}" "$@" >"$out" 2>&1 </dev/null &
runner=$!
while kill -0 "$runner" 2>/dev/null; do
  if [ -f "$handshake/shot.request" ]; then
    shot=$(cat "$handshake/shot.request")
    rm -f "$handshake/shot.request"
    import -display "$DISPLAY" -window root "$artifacts/$shot.png" || echo "screenshot $shot failed"
    touch "$handshake/shot.done"
  fi
  sleep 0.2
done
wait "$runner"
cat "$out"
tarnwick_result_written "$report" || exit 1
if grep -q '<testsuites[^>]* failures="0"[^>]* errors="0"' "$report"; then
  exit 0
fi
echo "failures in $report"
exit 1
