// CPU cost per frame of each effect against the fake GL: what our own code
// spends, not what a driver does. The fake only counts the calls here
// (recording them would cost more than the effects themselves); run with
// --record to include the recording.
#include "effects/cube_rings.h"
#include "effects/gears.h"
#include "effects/road.h"
#include "effects/wave_tunnel.h"

#include "tests/support/fake_gl.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

bool gRecord = false;

// Runs one effect frame per iteration at advancing song times and reports
// the GL calls per frame. A kept record is emptied outside the timing.
template <class F>
void Frames(benchmark::State& state, F draw) {
    fakegl::Reset();
    fakegl::SetRecording(gRecord);
    double t = 0;
    for (auto _ : state) {
        draw(t);
        t += 1.0 / 60;
        if (gRecord) {
            state.PauseTiming();
            fakegl::ClearCalls();
            state.ResumeTiming();
        }
    }
    state.counters["gl_calls"] = double(fakegl::CallsMade()) / double(state.iterations());
}

void FoggedTunnel(benchmark::State& state) {
    cWaveTunnel tunnel;
    Frames(state, [&](double t) { tunnel.DrawFogged(t); });
}
void BulgingTunnel(benchmark::State& state) {
    cWaveTunnel tunnel;
    Frames(state, [&](double t) { tunnel.DrawBulging(t); });
}
void Road(benchmark::State& state) {
    cRoad road;
    Frames(state, [&](double t) { road.Draw(t); });
}
void Gears(benchmark::State& state) {
    cGears gears;
    Frames(state, [&](double t) { gears.Draw(t); });
}
void CubeRings(benchmark::State& state) {
    cCubeRings rings;
    Frames(state, [&](double t) { rings.Draw(t); });
}

}  // namespace

BENCHMARK(FoggedTunnel)->Unit(benchmark::kMicrosecond);
BENCHMARK(BulgingTunnel)->Unit(benchmark::kMicrosecond);
BENCHMARK(Road)->Unit(benchmark::kMicrosecond);
BENCHMARK(Gears)->Unit(benchmark::kMicrosecond);
BENCHMARK(CubeRings)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]) == "--record") gRecord = true;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
