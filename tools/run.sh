#!/usr/bin/env bash
# Builds the Windows program and runs it under Wine on a virtual desktop, against the test-double
# setupapi.dll and a small simulated machine: it switches simulated adapters only. Arguments go to the
# program (for example: tools/run.sh -elevation -action turnon 5).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup-debian.sh
cmake --preset windows
cmake --build --preset windows --target tarnwick setupapi_double
exec tools/run-tarnwick.sh "$@"
