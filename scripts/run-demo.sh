#!/usr/bin/env bash
# Sets up the machine, builds the desk and starts it on the bundled demo station.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
BUILD=${TERN_BUILD_DIR:-build}
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$BUILD" --target tern2bufr
mkdir -p demo/out/TLG demo/out/BUFR
exec "$BUILD/src/gui/tern2bufr" -C demo/settings "$@"
