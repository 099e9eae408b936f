#!/usr/bin/env bash
# Builds and runs every test: native (with AddressSanitizer and UBSan), the fuzz targets for a bounded
# time, and the Windows programs under Wine. Exits non-zero when any of them fails.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup-debian.sh

cmake --preset native
cmake --build --preset native
ctest --preset native

cmake --preset windows
cmake --build --preset windows
ctest --preset windows

if [ -x tools/fuzz-all.sh ]; then
  tools/fuzz-all.sh
fi
echo "All tests passed."
