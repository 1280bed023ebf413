#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test: first the normal
# build with the desk's windows, then core, command line and their tests again
# under AddressSanitizer and UndefinedBehaviorSanitizer, then a short fuzz pass.
# TERN_SKIP_SANITIZERS=1 and TERN_SKIP_FUZZ=1 leave out the last two phases.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
BUILD=${TERN_BUILD_DIR:-build}
export QT_QPA_PLATFORM=offscreen

cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$BUILD"
ctest --test-dir "$BUILD" --output-on-failure -j2 --timeout 600

if [ "${TERN_SKIP_SANITIZERS:-0}" != 1 ]; then
  cmake -S . -B "$BUILD-asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTERN_SANITIZE=ON \
    -DTERN_BUILD_GUI=OFF -DTERN_BUILD_BENCH=OFF
  cmake --build "$BUILD-asan"
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir "$BUILD-asan" --output-on-failure -j2 --timeout 900
fi

# A short fuzz pass over every reader, the bulletins and the encoder, with a
# fixed seed so that the same code gets the same verdict; the long, searching
# run is scripts/fuzz.sh with a longer time and no seed.
if [ "${TERN_SKIP_FUZZ:-0}" != 1 ]; then
  TERN_FUZZ_SEED=${TERN_FUZZ_SEED:-1} scripts/fuzz.sh "${TERN_FUZZ_SECONDS:-10}"
fi
