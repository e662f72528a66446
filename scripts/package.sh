#!/usr/bin/env bash
# Builds the Debian package with Debian's own tools (debhelper, dpkg-buildpackage) in a copy of the
# tree, so that the tree itself stays clean, and leaves skrivel_VERSION_ARCH.deb in OUT_DIR
# (default build/package). DEB_BUILD_OPTIONS=nocheck leaves the tests out, as CI builds it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
out=$(realpath -m "${OUT_DIR:-${BUILD_DIR:-build}/package}")

version=$(dpkg-parsechangelog -S Version)
project_version=$(sed -n 's/^project(skrivel VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
if [ "$version" != "$project_version" ]; then
  echo "debian/changelog is at $version, CMakeLists.txt at $project_version: add a changelog entry" >&2
  exit 1
fi

# The files git knows, as they are now. The copy keeps its place between runs, so that the
# compiler cache recognises the same sources at the same paths.
work=$out/work
src=$work/skrivel-$version
rm -rf "$work"
mkdir -p "$src"
git ls-files -z --cached --others --exclude-standard |
  tar --null --files-from=- --ignore-failed-read -cf - 2> /dev/null | tar -xf - -C "$src"

# debhelper gives the build a home folder of its own; the compiler cache stays the user's.
if command -v ccache > /dev/null; then
  export CCACHE_DIR=${CCACHE_DIR:-$(ccache -k cache_dir)}
fi
export DEB_BUILD_OPTIONS="${DEB_BUILD_OPTIONS:-} noddebs parallel=$(nproc)"
(cd "$src" && dpkg-buildpackage -us -uc -b)

rm -f "$out"/*.deb
mv "$work"/*.deb "$out"/
rm -rf "$work"
ls "$out"/*.deb
