#!/usr/bin/env bash
# Stops the build tree's Wine server and the Xvfb that the setup started.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-env.sh" "${1:-.}"
wineserver -k 2>/dev/null || true
if [ -f "$TARNWICK_XVFB_STATE" ]; then
  read -r num pid < "$TARNWICK_XVFB_STATE" || true
  kill "${pid:-0}" 2>/dev/null || true
  rm -f "$TARNWICK_XVFB_STATE"
fi
exit 0
