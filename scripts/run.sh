#!/usr/bin/env bash
# Installs what is needed, builds Skrivel and starts it on the DUMMY port with the bundled font.
# Arguments go to the program (a receive-data file to load). The profile used is a separate one in
# the build folder, so the settings of an installed Skrivel are left alone; its port and font are
# set back to DUMMY and the bundled font at every start, the rest (canned messages, options) stays.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${CMAKE_ARGS:-}
cmake --build "$build" --target skrivel hellfont

export XDG_CONFIG_HOME=$PWD/$build/run-config
profile=$XDG_CONFIG_HOME/skrivel/skrivel.ini
if [ -f "$profile" ]; then
  sed -i -e 's/^Port=.*/Port=DUMMY/' -e 's/^FontFileName=.*/FontFileName=hellfont.hlf/' "$profile"
fi
exec "$build/bin/skrivel" "$@"
