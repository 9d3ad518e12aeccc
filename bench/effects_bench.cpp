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

// One effect object drawn frame after frame with the given member.
template <class T, void (T::*kDraw)(double)>
void Effect(benchmark::State& state) {
    T effect;
    Frames(state, [&](double t) { (effect.*kDraw)(t); });
}

}  // namespace

BENCHMARK(Effect<cWaveTunnel, &cWaveTunnel::DrawFogged>)->Name("FoggedTunnel")->Unit(benchmark::kMicrosecond);
BENCHMARK(Effect<cWaveTunnel, &cWaveTunnel::DrawBulging>)->Name("BulgingTunnel")->Unit(benchmark::kMicrosecond);
BENCHMARK(Effect<cRoad, &cRoad::Draw>)->Name("Road")->Unit(benchmark::kMicrosecond);
BENCHMARK(Effect<cGears, &cGears::Draw>)->Name("Gears")->Unit(benchmark::kMicrosecond);
BENCHMARK(Effect<cCubeRings, &cCubeRings::Draw>)->Name("CubeRings")->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]) == "--record") gRecord = true;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
