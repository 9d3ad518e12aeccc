#!/usr/bin/env bash
# Regenerates the README's stills, docs/stills/still-<song time>.png, with
# vindelkrok-capture from the Data/ the build generates. Installs what is
# missing and builds the capture program first.
set -eu
top="$(cd "$(dirname "$0")/.." && pwd)"
times="2.5,15,21,42,72,105"
"$top/scripts/install-deps.sh"
if [ ! -f "$top/build/CMakeCache.txt" ]; then
    cmake -S "$top" -B "$top/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVK_BUILD_TESTS=OFF -DVK_BUILD_BENCH=OFF >/dev/null
fi
cmake --build "$top/build" -j"$(nproc)" --target vindelkrok-capture
rm -f "$top"/docs/stills/still-*.png
cd "$top/build"
./vindelkrok-capture --stills "$times" --size 320x240 --output "$top/docs/stills" >/dev/null
rm -f "$top/docs/stills/log.txt"  # the demo's log, not a still
ls "$top"/docs/stills/still-*.png
