#!/usr/bin/env bash
# Builds a release of the project's version (CMakeLists.txt) in a fresh build folder:
#   dist/tarnwick-<version>-win64.zip   the portable program (tarnwick.exe, tarnwick.map, README.txt, LICENSE.txt)
#   dist/tarnwick-<version>-win64.msi   the installer
#   dist/SHA256SUMS                     their SHA-256 sums, also printed
#   dist/winget/..., dist/scoop/...     the winget and Scoop manifests of those files (from packaging/'s templates)
# The same commit gives the same bytes on any machine: everything is dated by the commit (SOURCE_DATE_EPOCH).
# TARNWICK_DOWNLOAD_URL names the folder that will hold one folder per version (a placeholder otherwise).
#   tools/release.sh --verify   also builds the release a second time, in another folder, and fails unless
#                               the two give the same sums
set -euo pipefail
cd "$(dirname "$0")/.."
verify=no
[ "${1:-}" = --verify ] && verify=yes
tools/setup-debian.sh

if [ -n "$(git status --porcelain --untracked-files=no 2>/dev/null)" ]; then
  echo "release: warning: uncommitted changes; the release will not match a commit" >&2
fi
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null || echo 0)
export SOURCE_DATE_EPOCH TZ=UTC

# build <folder>: the release files of a fresh build in <folder>/package.
build() {
  rm -rf "$1"
  cmake --preset release -B "$1" >/dev/null
  cmake --build "$1" --target release_packages
}

rm -rf dist
build build/release
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/release/CMakeCache.txt)
name=tarnwick-$version-win64
mkdir -p dist
cp "build/release/package/$name.zip" "build/release/package/$name.msi" dist/
(cd dist && sha256sum "$name.zip" "$name.msi" > SHA256SUMS)

url=${TARNWICK_DOWNLOAD_URL:-https://downloads.example.invalid/tarnwick}
tools/package-manifests.py "$version" "dist/$name.zip" "dist/$name.msi" "$url" dist

echo
echo "Tarnwick $version (SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH):"
cat dist/SHA256SUMS
echo "Manifests: dist/winget/manifests/t/Tarnwick/Tarnwick/$version/, dist/scoop/tarnwick.json"

if [ "$verify" = yes ]; then
  build build/release-verify
  if ! (cd build/release-verify/package && sha256sum --check --quiet ../../../dist/SHA256SUMS); then
    echo "release: a second build gave other bytes: the release is not reproducible" >&2
    exit 1
  fi
  echo "A second build in build/release-verify gave the same sums."
fi
