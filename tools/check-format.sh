#!/usr/bin/env bash
# Checks that the C++ sources are as clang-format leaves them, with the repository's .clang-format and
# Debian's clang-format 14 (what tools/setup-debian.sh installs; other versions lay some code out
# differently). Checks the files given, or every tracked C++ file; lists the ones that differ and exits
# non-zero when there are any. Mend one with: clang-format -i FILE
set -euo pipefail
cd "$(dirname "$0")/.."

format=$(command -v clang-format-14 || command -v clang-format || true)
if [ -z "$format" ]; then
  echo "check-format: clang-format is not installed (tools/setup-debian.sh installs it)" >&2
  exit 2
fi
if ! "$format" --version | grep -q 'version 14\.'; then
  echo "check-format: needs clang-format 14, found: $("$format" --version)" >&2
  exit 2
fi

if [ $# -gt 0 ]; then
  files=("$@")
else
  mapfile -t files < <(git ls-files -- '*.cpp' '*.h' '*.c' '*.cc' '*.hpp')
fi

differ=0
for file in "${files[@]}"; do
  case "$file" in *.cpp|*.h|*.c|*.cc|*.hpp) ;; *) continue ;; esac
  [ -f "$file" ] || continue
  if ! "$format" --style=file "$file" | cmp -s - "$file"; then
    echo "not formatted: $file"
    differ=$((differ + 1))
  fi
done
if [ "$differ" -gt 0 ]; then
  echo "check-format: $differ file(s) differ from clang-format's layout" >&2
  exit 1
fi
echo "check-format: ${#files[@]} file(s) checked, all formatted"
