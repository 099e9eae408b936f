#!/usr/bin/env bash
# Builds and runs every test: native (with AddressSanitizer and UBSan), the fuzz targets for a bounded
# time, and the Windows programs under Wine; then checks the formatting of the sources. Exits non-zero
# when any of them fails.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup-debian.sh

cmake --preset native
cmake --build --preset native
ctest --preset native

cmake --preset windows
cmake --build --preset windows
ctest --preset windows

tools/fuzz-all.sh

tools/check-format.sh
echo "All tests passed."
