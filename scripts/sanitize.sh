#!/usr/bin/env bash
# Builds and runs the tests under the sanitizers; any report fails the run.
#   scripts/sanitize.sh address   the whole suite under AddressSanitizer and UndefinedBehaviorSanitizer
#   scripts/sanitize.sh thread    the link, the engine and the end-to-end tests under ThreadSanitizer
# (the window's tests are left out there: the prebuilt Qt libraries are not instrumented for it).
# Tests labelled "long" (minutes of real time) run in the main suite only.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
here=$PWD

case "${1:-address}" in
  address)
    build=${BUILD_DIR:-build-asan}
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSKRIVEL_BUILD_BENCH=OFF \
      -DSKRIVEL_SANITIZE=address,undefined
    export ASAN_OPTIONS=abort_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:suppressions=$here/.ci/asan.supp
    export LSAN_OPTIONS=suppressions=$here/.ci/lsan.supp:print_suppressions=0
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    ;;
  thread)
    build=${BUILD_DIR:-build-tsan}
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSKRIVEL_BUILD_BENCH=OFF \
      -DSKRIVEL_BUILD_UI=OFF -DSKRIVEL_SANITIZE=thread
    export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=$here/.ci/tsan.supp
    ;;
  *)
    echo "usage: $0 address|thread" >&2
    exit 2
    ;;
esac

cmake --build "$build"
QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --output-on-failure -j2 --timeout 600 -LE long
