#!/usr/bin/env bash
# Checks the package that scripts/package.sh made: lintian finds no error, the desktop entry and
# the metainfo it holds validate, and once installed with apt (on this machine: run it where that
# is wanted, as CI does) both programs answer from the installed files.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${OUT_DIR:-${BUILD_DIR:-build}/package}")
debs=("$out"/skrivel_*.deb)
deb=${debs[0]}
[ -f "$deb" ] || { echo "No package in $out: run scripts/package.sh" >&2; exit 1; }

lintian --fail-on error --display-info "$deb"

contents=$(mktemp -d)
trap 'rm -rf "$contents"' EXIT
dpkg-deb -x "$deb" "$contents"
desktop-file-validate "$contents/usr/share/applications/io.github.skrivel.Skrivel.desktop"
appstreamcli validate --no-net "$contents/usr/share/metainfo/io.github.skrivel.Skrivel.metainfo.xml"

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --reinstall "$deb" > /dev/null
/usr/bin/skrivel --version
/usr/bin/skrivel-board --help > /dev/null
echo "package checks: 5 passed, 0 failed" # lintian, the two validators, skrivel, skrivel-board
