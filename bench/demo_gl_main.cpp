// Entry point of the benchmarks that draw demo frames on real GL: an
// 800 × 600 window with the demo's fixed GL state, current for the whole run.
// Needs an X display with GLX (tests/support/with-xvfb.sh).
#include "tests/support/frame_render.h"
#include "tests/support/gl_context.h"

#include <benchmark/benchmark.h>

#include <cstdio>

int main(int argc, char** argv) {
    pixeltest::cTestContext gl(800, 600);
    if (!gl.ok()) {
        std::fprintf(stderr, "%s\n", gl.error().c_str());
        return 1;
    }
    pixeltest::SetUpDemoGL(800, 600);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
