// CPU cost of one whole demo frame per composition (DrawFrame with the
// music order that selects it) against the fake GL, which only counts the
// calls: the cost of our code, not of a driver. Effects that are not in the
// build yet draw nothing in their step, so compositions 4, 6 and 7 measure
// what exists.
#include "base/beat.h"
#include "tests/support/fake_gl.h"
#include "tests/support/sound_double.h"
#include "timeline/draw_frame.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

// A music order that selects each composition, 1 to 7.
constexpr int kOrderOf[8] = {0, 2, 3, 4, 6, 10, 14, 16};

// Draws frames of composition state.range(0) at advancing song times, with a
// beat every half second, and reports the GL calls per frame.
void Frame(benchmark::State& state) {
    const int composition = int(state.range(0));
    fakegl::Reset();
    fakegl::SetRecording(false);
    sounddouble::Reset();
    sounddouble::SetOrder(kOrderOf[composition]);
    gSong = sounddouble::Song();
    double t = 30;
    for (auto _ : state) {
        gSongTime.store(t);
        gBeatTime.store(t - std::fmod(t, 0.5));
        DrawFrame();
        t += 1.0 / 60;
    }
    state.counters["gl_calls"] = double(fakegl::CallsMade()) / double(state.iterations());
    fakegl::SetRecording(true);
}

}  // namespace

BENCHMARK(Frame)->DenseRange(1, 7)->ArgName("composition")->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
