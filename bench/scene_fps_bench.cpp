// Frames per second of each composition at 800 × 600 on real GL: DrawFrame
// with the buffer swap, as the demo runs. Needs an X display with GLX; run it
// under tests/support/with-xvfb.sh for Mesa's llvmpipe:
//
//     tests/support/with-xvfb.sh build/bench/bench_scene_fps
//
// Effects that are not in the build yet draw nothing in their step.
#include "base/beat.h"
#include "tests/support/frame_render.h"
#include "tests/support/sound_double.h"
#include "timeline/draw_frame.h"

#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <cmath>
#include <ctime>

namespace {

// A music order that selects each composition, 1 to 7.
constexpr int kOrderOf[8] = {0, 2, 3, 4, 6, 10, 14, 16};

// CPU seconds used by the whole process, llvmpipe's rendering threads
// included: the work a frame costs, whatever else the machine is doing.
double ProcessCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// Draws and swaps frames of composition state.range(0) at advancing song
// times, with a beat every half second; reports frames per second and the
// process CPU milliseconds per frame.
void Frame(benchmark::State& state) {
    sounddouble::Reset();
    sounddouble::SetOrder(kOrderOf[state.range(0)]);
    gSong = sounddouble::Song();
    double t = 30;
    const double cpuStart = ProcessCpuSeconds();
    for (auto _ : state) {
        gSongTime.store(t);
        gBeatTime.store(t - std::fmod(t, 0.5));
        DrawFrame();
        glFinish();
        t += 1.0 / 60;
    }
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["cpu_ms_all_threads"] = (ProcessCpuSeconds() - cpuStart) * 1000 / double(state.iterations());
}

}  // namespace

BENCHMARK(Frame)->DenseRange(1, 7)->ArgName("composition")->UseRealTime()->MinTime(2.0)->Unit(benchmark::kMillisecond);
