// Resident memory of a long run of composition 1 (the fogged wave tunnel) on
// real GL: the demo loops for ever, so whatever a frame leaves behind in the
// driver adds up. Draws 10,000 frames at 800 × 600 through DrawFrame with the
// buffer swap, samples the resident set every 100 frames, and reports its
// growth after the first 100 (the driver's caches fill during those). More
// than 1 MiB of growth marks the run as failed. Needs an X display with GLX:
//
//     tests/support/with-xvfb.sh build/bench/bench_frame_memory
#include "base/beat.h"
#include "tests/support/frame_render.h"
#include "tests/support/sound_double.h"
#include "timeline/draw_frame.h"

#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <unistd.h>

namespace {

constexpr int kOrderComposition1 = 2;
constexpr int kWarmUpFrames = 100;
constexpr int kSampleEvery = 100;
constexpr double kAllowedGrowth = 1024.0 * 1024.0;

// The process's resident set in bytes, from /proc/self/statm.
double ResidentBytes() {
    long pages = 0, resident = 0;
    FILE* statm = std::fopen("/proc/self/statm", "r");
    if (!statm) return 0;
    const int read = std::fscanf(statm, "%ld %ld", &pages, &resident);
    std::fclose(statm);
    return read == 2 ? double(resident) * double(sysconf(_SC_PAGESIZE)) : 0;
}

// One iteration draws state.range(0) frames of composition 1, a beat every
// half second, and reports the resident set after the warm-up, the largest
// one seen afterwards, and the growth between them.
void ResidentMemoryOverFrames(benchmark::State& state) {
    const int frames = int(state.range(0));
    sounddouble::Reset();
    sounddouble::SetOrder(kOrderComposition1);
    gSong = sounddouble::Song();
    double afterWarmUp = 0, largest = 0;
    for (auto _ : state) {
        double t = 30;
        for (int frame = 1; frame <= frames; ++frame) {
            gSongTime.store(t);
            gBeatTime.store(t - std::fmod(t, 0.5));
            DrawFrame();
            glFinish();
            t += 1.0 / 60;
            if (frame % kSampleEvery) continue;
            const double resident = ResidentBytes();
            if (frame == kWarmUpFrames) afterWarmUp = resident;
            if (frame > kWarmUpFrames) largest = std::max(largest, resident);
        }
    }
    const double growth = largest - afterWarmUp;
    state.counters["fps"] = benchmark::Counter(double(frames) * double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["rss_after_100_MiB"] = afterWarmUp / (1024.0 * 1024.0);
    state.counters["rss_peak_MiB"] = largest / (1024.0 * 1024.0);
    state.counters["growth_KiB"] = growth / 1024.0;
    state.counters["growth_bytes_per_frame"] = growth / double(frames - kWarmUpFrames);
    if (afterWarmUp <= 0) state.SkipWithError("cannot read /proc/self/statm");
    else if (growth > kAllowedGrowth)
        state.SkipWithError(("resident memory grew by " + std::to_string(long(growth / 1024)) +
                             " KiB after the first 100 frames, from " + std::to_string(long(afterWarmUp / 1024)) +
                             " KiB")
                                .c_str());
}

}  // namespace

BENCHMARK(ResidentMemoryOverFrames)->Arg(10000)->ArgName("frames")->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);
