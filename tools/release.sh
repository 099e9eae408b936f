#!/usr/bin/env bash
# Builds a release of the project's version (CMakeLists.txt) in a fresh build folder:
#   dist/tarnwick-<version>-win64.zip   the portable program (tarnwick.exe, tarnwick.map, README.txt, LICENSE.txt)
#   dist/tarnwick-<version>-win64.msi   the installer
#   dist/SHA256SUMS                     their SHA-256 sums, also printed
# and writes the winget and Scoop manifests of that version and those sums under packaging/.
# TARNWICK_DOWNLOAD_URL names the folder the two files will be published in (a placeholder otherwise).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup-debian.sh

if [ -n "$(git status --porcelain --untracked-files=no 2>/dev/null)" ]; then
  echo "release: warning: uncommitted changes; the release will not match a commit" >&2
fi

rm -rf build/release dist
cmake --preset release
cmake --build --preset release
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/release/CMakeCache.txt)
name=tarnwick-$version-win64

mkdir -p dist
cp "build/release/package/$name.zip" "build/release/package/$name.msi" dist/
(cd dist && sha256sum "$name.zip" "$name.msi" > SHA256SUMS)

url=${TARNWICK_DOWNLOAD_URL:-https://downloads.example.invalid/tarnwick/$version}
tools/package-manifests.py "$version" "dist/$name.zip" "dist/$name.msi" "$url"

echo
echo "Tarnwick $version:"
cat dist/SHA256SUMS
echo "Manifests: packaging/winget/manifests/t/Tarnwick/Tarnwick/$version/, packaging/scoop/tarnwick.json"
