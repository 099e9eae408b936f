#!/usr/bin/env bash
# Builds the Windows program and runs it under Wine. Until tarnwick.exe exists, builds everything and
# runs the Windows test programs there are.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup-debian.sh
cmake --preset windows
cmake --build --preset windows
if [ -x tools/run-tarnwick.sh ] && [ -f build/windows/src/app/win32/tarnwick.exe ]; then
  exec tools/run-tarnwick.sh "$@"
fi
ctest --preset windows
