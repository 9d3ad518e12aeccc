#!/usr/bin/env bash
# Installs what is missing, builds the demo and runs it from a directory
# holding Data/: the build directory, or the directory given as argument.
set -eu
top="$(cd "$(dirname "$0")/.." && pwd)"
"$top/scripts/install-deps.sh"
cmake -S "$top" -B "$top/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$top/build" -j"$(nproc)"
if [ ! -x "$top/build/vindelkrok" ]; then
    echo "run-demo: the demo program was not built." >&2
    exit 1
fi
dir="$(cd "${1:-$top/build}" && pwd)"
if [ ! -f "$dir/Data/damp.xm" ]; then
    echo "run-demo: $dir/Data/ is missing (the demo needs Data/damp.xm and its pictures and model)." >&2
    echo "run-demo: the build writes it into build/Data/ (tools/make_data); or give a directory holding Data/ as argument." >&2
    exit 1
fi
cd "$dir"
exec "$top/build/vindelkrok"
