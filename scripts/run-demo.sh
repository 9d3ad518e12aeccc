#!/usr/bin/env bash
# Installs what building and running need, builds the demo, the capture
# program and Data/ (no tests, no benchmarks), and runs the demo from a
# directory holding Data/: the build directory, or the directory given as
# argument. Options after the directory go to the demo (see --help).
set -eu
top="$(cd "$(dirname "$0")/.." && pwd)"
"$top/scripts/install-deps.sh"
build="$top/build"
if [ ! -f "$build/CMakeCache.txt" ]; then
    # A first build: the programs only. The test command turns the tests on
    # in the same directory later.
    launcher=()
    if command -v ccache >/dev/null; then
        launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
    fi
    cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVK_BUILD_TESTS=OFF -DVK_BUILD_BENCH=OFF \
          "${launcher[@]}" >/dev/null
fi
cmake --build "$build" -j"$(nproc)" --target vindelkrok vindelkrok-capture
if [ ! -x "$build/vindelkrok" ]; then
    echo "run-demo: the demo program was not built." >&2
    exit 1
fi
dir="$build"
if [ $# -gt 0 ] && [ "${1#-}" = "$1" ]; then
    dir="$1"
    shift
fi
dir="$(cd "$dir" && pwd)"
if [ ! -f "$dir/Data/damp.xm" ]; then
    echo "run-demo: $dir/Data/ is missing (the demo needs Data/damp.xm and its pictures and model)." >&2
    echo "run-demo: the build writes it into build/Data/ (tools/make_data); or give a directory holding Data/ as argument." >&2
    exit 1
fi
cd "$dir"
exec "$build/vindelkrok" "$@"
