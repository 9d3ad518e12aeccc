#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the full suite
# (unit, pixel and end-to-end tests; each GL test starts its own Xvfb), then
# the unit tests and the damaged-data run of the demo (label asan) again
# under AddressSanitizer + UndefinedBehaviorSanitizer,
# then the threaded sound-layer tests (label tsan) under ThreadSanitizer.
set -eu
top="$(cd "$(dirname "$0")/.." && pwd)"
"$top/scripts/install-deps.sh" --tests
jobs="$(nproc)"

# Tests and benchmarks on, also in a build directory the run command made.
cmake -S "$top" -B "$top/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVK_BUILD_TESTS=ON -DVK_BUILD_BENCH=ON >/dev/null
cmake --build "$top/build" -j"$jobs"
(cd "$top/build" && ctest --output-on-failure -j"$jobs")

cmake -S "$top" -B "$top/build-asan" -DCMAKE_BUILD_TYPE=Debug -DVK_SANITIZE=address,undefined \
      -DVK_BUILD_BENCH=OFF >/dev/null
cmake --build "$top/build-asan" -j"$jobs"
(cd "$top/build-asan" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --output-on-failure -j"$jobs" -L 'unit|asan')

cmake -S "$top" -B "$top/build-tsan" -DCMAKE_BUILD_TYPE=Debug -DVK_SANITIZE=thread \
      -DVK_BUILD_BENCH=OFF >/dev/null
cmake --build "$top/build-tsan" -j"$jobs" --target vk_tsan_tests
(cd "$top/build-tsan" && TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
    ctest --output-on-failure -j"$jobs" -L tsan)
echo "All tests passed."
