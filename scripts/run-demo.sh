#!/usr/bin/env bash
# Installs what is missing, builds the demo and runs it from the build
# directory, which holds Data/.
set -eu
top="$(cd "$(dirname "$0")/.." && pwd)"
"$top/scripts/install-deps.sh"
cmake -S "$top" -B "$top/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$top/build" -j"$(nproc)"
if [ ! -x "$top/build/vindelkrok" ]; then
    echo "The demo program is not built yet: only the foundation exists so far." >&2
    exit 1
fi
cd "$top/build"
exec ./vindelkrok
