#!/usr/bin/env bash
# Runs a Windows program under Wine: the emulator that ctest puts before every Windows test.
# Output goes through a file, since a Wine service started by the program would hold a pipe open.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
program=$1
shift
source "$here/wine-env.sh" "$program"
"$here/wine-setup.sh" "$program" || exit 1
tarnwick_use_xvfb_display
out=$(mktemp)
wine "$program" "$@" >"$out" 2>&1 </dev/null
rc=$?
cat "$out"
rm -f "$out"
exit $rc
