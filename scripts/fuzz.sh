#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for a bounded time:
#   scripts/fuzz.sh [SECONDS_PER_TARGET]   (default 60)
# Seeds come from fuzz/corpus/<target>/ and the test fixtures; new findings are
# left in build-fuzz/crashes/.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_PER_TARGET=${1:-60}
BUILD=${TERN_FUZZ_BUILD_DIR:-build-fuzz}
CC=clang CXX=clang++ cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTERN_FUZZ=ON \
  -DTERN_SANITIZE=ON -DTERN_BUILD_GUI=OFF -DTERN_BUILD_TESTS=OFF -DTERN_BUILD_BENCH=OFF >/dev/null
cmake --build "$BUILD"
mkdir -p "$BUILD/crashes"
status=0
for target in "$BUILD"/fuzz/*Fuzz; do
  name=$(basename "$target")
  corpus="$BUILD/corpus/$name"
  mkdir -p "$corpus"
  seeds=()
  [ -d "fuzz/corpus/$name" ] && seeds+=("fuzz/corpus/$name")
  echo "== $name for ${SECONDS_PER_TARGET}s"
  if ! "$target" -max_total_time="$SECONDS_PER_TARGET" -timeout=10 -rss_limit_mb=4096 \
       -artifact_prefix="$BUILD/crashes/$name-" "$corpus" "${seeds[@]}" >"$BUILD/$name.log" 2>&1; then
    echo "$name FAILED, see $BUILD/$name.log"
    tail -30 "$BUILD/$name.log"
    status=1
  fi
done
exit $status
