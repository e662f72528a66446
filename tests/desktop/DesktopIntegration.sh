#!/usr/bin/env bash
# Skrivel as the desktop sees it once installed: a .hel file is of Skrivel's file type, that type
# opens with Skrivel's desktop entry, and the entry and the metainfo pass their validators.
#   DesktopIntegration.sh BUILD_DIR
# The build is installed into a scratch folder that serves as the only data and configuration
# folders, so that nothing installed on the machine takes part.
set -euo pipefail
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
app_id=io.github.skrivel.Skrivel
failures=0
expect() { # what, expected, got
  if [ "$2" = "$3" ]; then
    echo "ok: $1 is $3"
  else
    echo "FAILED: $1 is '$3', expected '$2'"
    failures=$((failures + 1))
  fi
}

cmake --install "$build" --prefix "$scratch/usr" > /dev/null
share=$scratch/usr/share
export XDG_DATA_HOME=$share XDG_DATA_DIRS=$scratch/none
export XDG_CONFIG_HOME=$scratch/config XDG_CONFIG_DIRS=$scratch/none
# No desktop environment: xdg-mime answers from the shared databases alone.
unset XDG_CURRENT_DESKTOP DESKTOP_SESSION KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID XDG_MENU_PREFIX
update-mime-database "$share/mime"
update-desktop-database "$share/applications"

# Receive data is bare sample bytes: the name alone tells what it is.
head -c 6860 /dev/urandom > "$scratch/night.hel"
expect "the type of night.hel" application/x-skrivel-rx-data "$(xdg-mime query filetype "$scratch/night.hel")"
expect "the program for receive data" "$app_id.desktop" \
  "$(xdg-mime query default application/x-skrivel-rx-data)"

desktop-file-validate "$share/applications/$app_id.desktop" || failures=$((failures + 1))
appstreamcli validate --no-net "$share/metainfo/$app_id.metainfo.xml" || failures=$((failures + 1))
for size in 16 22 24 32 48 64 128 256; do
  [ -f "$share/icons/hicolor/${size}x${size}/apps/$app_id.png" ] ||
    { echo "FAILED: no $size px icon"; failures=$((failures + 1)); }
done
[ "$failures" -eq 0 ]
