#!/usr/bin/env bash
# Installs what is needed, builds Skrivel and runs every test. CMAKE_ARGS goes to CMake as well
# (CI sets -DSKRIVEL_WERROR=ON); warnings are errors only when asked for, even in a build folder
# that CI configured before.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSKRIVEL_WERROR=OFF ${CMAKE_ARGS:-}
cmake --build "$build"
QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --output-on-failure -j2 --timeout 300
