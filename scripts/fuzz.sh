#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer) and
# runs each for FUZZ_SECONDS (default 60), starting from the committed corpus and regression inputs.
# New interesting inputs are kept in build-fuzz/corpus/; with --merge they are merged into fuzz/corpus/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-60}
build=${FUZZ_BUILD_DIR:-build-fuzz}

CXX=clang++ CC=clang cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DSKRIVEL_BUILD_UI=OFF -DSKRIVEL_BUILD_TESTS=OFF -DSKRIVEL_BUILD_BENCH=OFF -DSKRIVEL_BUILD_FUZZ=ON \
  -DSKRIVEL_SANITIZE=address,undefined,fuzzer-no-link > /dev/null
cmake --build "$build" --target fuzz_rxdata fuzz_font fuzz_profile fuzz_bytestream

for target in rxdata font profile bytestream; do
  corpus="$build/corpus/$target"
  mkdir -p "$corpus" "$build/artifacts"
  # Every regression input first, one by one: each once made the target fail.
  if compgen -G "fuzz/regressions/$target/*" > /dev/null; then
    "$build/bin/fuzz_$target" fuzz/regressions/$target/*
  fi
  echo "fuzz_$target: ${seconds}s"
  "$build/bin/fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 -max_len=65536 \
    -artifact_prefix="$build/artifacts/$target-" "$corpus" "fuzz/corpus/$target" 2>&1 | tail -n 12
  if [ "${1:-}" = "--merge" ]; then
    "$build/bin/fuzz_$target" -merge=1 "fuzz/corpus/$target" "$corpus" > /dev/null 2>&1
  fi
done
echo "fuzzing: 4 passed, 0 failed"
