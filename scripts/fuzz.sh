#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UBSan) and
# runs each for a bounded time:
#   scripts/fuzz.sh [SECONDS_PER_TARGET] [TARGET...]   (default 60 s, every target)
# Seeds come from fuzz/corpus/<target>/ (read only); what the fuzzer learns is
# kept in build-fuzz/corpus/<target>/ for the next run, and any input that
# crashes, hangs, leaks or trips a sanitizer is left in build-fuzz/crashes/.
# Reproduce one with: build-fuzz/fuzz/<target> build-fuzz/crashes/<file>
# TERN_FUZZ_SEED fixes the fuzzer's random seed, so that a short run walks the
# same inputs every time (the test command uses it); unset, every run differs.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_PER_TARGET=${1:-60}
shift || true
BUILD=${TERN_FUZZ_BUILD_DIR:-build-fuzz}
CC=clang CXX=clang++ cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTERN_FUZZ=ON \
  -DTERN_SANITIZE=ON -DTERN_BUILD_GUI=OFF -DTERN_BUILD_TESTS=OFF -DTERN_BUILD_BENCH=OFF >/dev/null
cmake --build "$BUILD"
mkdir -p "$BUILD/crashes"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for t in "$BUILD"/fuzz/*Fuzz; do targets+=("$(basename "$t")"); done
fi

passed=0
failed=0
for name in "${targets[@]}"; do
  target="$BUILD/fuzz/$name"
  [ -x "$target" ] || { echo "no fuzz target $name" >&2; exit 2; }
  corpus="$BUILD/corpus/$name"
  mkdir -p "$corpus"
  seeds=()
  [ -d "fuzz/corpus/$name" ] && seeds+=("fuzz/corpus/$name")
  seed=()
  [ -n "${TERN_FUZZ_SEED:-}" ] && seed=(-seed="$TERN_FUZZ_SEED")
  echo "== $name for ${SECONDS_PER_TARGET}s"
  if ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
     "$target" "${seed[@]}" -max_total_time="$SECONDS_PER_TARGET" -timeout=10 -rss_limit_mb=4096 -print_final_stats=1 \
       -artifact_prefix="$BUILD/crashes/$name-" "$corpus" "${seeds[@]}" >"$BUILD/$name.log" 2>&1; then
    grep -E '^stat::number_of_executed_units' "$BUILD/$name.log" | sed 's/^stat::number_of_executed_units: */   runs: /' || true
    passed=$((passed + 1))
  else
    echo "$name FAILED, see $BUILD/$name.log"
    tail -40 "$BUILD/$name.log"
    failed=$((failed + 1))
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
