#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and running Skrivel need.
set -euo pipefail

packages=(
  cmake ninja-build g++ ccache pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev libxkbcommon-dev libx11-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth fonts-dejavu-core xdotool imagemagick
  poppler-utils
  locales-all  # the Turkish locales of the upper-case test
  libliquid-dev libsndfile1-dev libpulse-dev pulseaudio pulseaudio-utils
  libhamlib-dev libhamlib-utils  # rig control: PTT and the rig's frequency; rigctld for the tests
  zlib1g-dev  # the exported picture's PNG
  clang libclang-rt-14-dev
  help2man librsvg2-bin  # the man pages and the icons, made at build time
  xdg-utils libfile-mimeinfo-perl desktop-file-utils shared-mime-info appstream  # the desktop test
  dpkg-dev debhelper lintian  # the Debian package
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
