#!/usr/bin/env bash
# Sets up the machine, builds the command line and shows the main job without a
# display: the demo station's newest Corvo ascent turned into BUFR II, decoded
# back with ecCodes. Works on a copy, so the repository stays clean.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
BUILD=${TERN_BUILD_DIR:-build}
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD" --target tern2bufr-cli
CLI="$PWD/$BUILD/src/cli/tern2bufr-cli"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cp -rL examples/station "$WORK/settings"
cp -rL examples/ascents/corvo "$WORK/ascents"
mkdir -p "$WORK/demo/out/TLG" "$WORK/demo/out/BUFR"
cd "$WORK"
ASCENT=ascents/20261209-1117.info
set -x
"$CLI" -C settings check-codes settings/BUFRCODES.CNF
"$CLI" -C settings open "$ASCENT"
"$CLI" -C settings levels "$ASCENT" --bufr2 | tail -3
"$CLI" -C settings bulletin "$ASCENT" TTAA | iconv -f cp1251 -t utf-8
FILE=$("$CLI" -C settings bufr "$ASCENT" --bufr2 --number 412 | tail -1)
bufr_dump -p "$FILE" | grep -E '^(blockNumber|stationNumber|radiosondeAscensionNumber|typicalDate|typicalTime|year|month|day|hour)=' | head -9
bufr_dump -p "$FILE" | grep -cE '^#[0-9]+#pressure=' | sed 's/^/levels decoded: /'
