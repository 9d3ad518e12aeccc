// Jumps through the song: the time from a key press to the first frame drawn
// at the new position, and to the first sample heard there.
//
// JumpToFirstFrame runs the real demo core in an 800 × 600 EGL pbuffer (the
// capture's offscreen GL; Mesa's llvmpipe needs no display) with the demo's
// song on the sound layer's silent output, and tours the song as a viewer
// would: Home, then Right through every order start of the first pass, twice.
// Each jump is timed from HandleSongKey to the end of the next DrawFrame,
// whose presenter is glFinish: the frame the main loop draws next. The first
// key press, which loads the song's map, is reported on its own. A key that
// does not bring the song time to the order start expected fails the run.
// JumpStages takes the same jumps through the key's steps one by one: the
// catch-up (CatchUpTo: events and the unseen lead-in frames), the sound
// layer's restart (FMUSIC_PlaySongFrom, which renders the song unheard up to
// the point) and the first frame.
//
// JumpToFirstHeardSample/<server> plays the listening module on a private
// PulseAudio server or PipeWire session, records the null sink's monitor
// (sound/heard_meter.h; PipeWire at a cycle of 256, 1024 or 2048 frames),
// and presses Right as soon as order 1, 2, 3 or 4 is heard: the song stops,
// the demo catches up on the next order start (with the listening module as
// the song) and the music plays on from there.
// The render from that start is found in the recording after the key press
// and before where the start would have been heard without the jump, and
// key-to-heard is reported beside the time the key's steps take before the
// music plays again and the output latency the layer reports.
//
// Runs in the directory holding Data/ given by VK_DATA_DIR, else the build
// tree's, where the build generates it:
//     build/bench/bench_song_jump
#include "app/song_control.h"
#include "base/beat.h"
#include "base/context_query.h"
#include "base/data_files.h"
#include "capture/offscreen_gl.h"
#include "core/demo_core.h"
#include "core/gl_view.h"
#include "core/song_jump.h"
#include "core/song_map.h"
#include "sound/heard_meter.h"
#include "sound/latency.h"
#include "sound/offline.h"
#include "sound/song_seek.h"
#include "tests/support/sound_server.h"
#include "timeline/draw_frame.h"

#include <benchmark/benchmark.h>
#include <GL/gl.h>
#include <X11/keysym.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <numeric>

namespace {

constexpr int kRate = 22050;  // the demo's mixing rate
constexpr double kListenedSeconds = 8;

// ---- Helpers ---------------------------------------------------------------

// Milliseconds from `from` to now.
double MsSince(cSoundClock::time_point from) {
    return std::chrono::duration<double, std::milli>(cSoundClock::now() - from).count();
}

// Times of one kind, in milliseconds.
struct cStats {
    std::vector<double> ms;
    double Mean() const { return ms.empty() ? 0 : std::accumulate(ms.begin(), ms.end(), 0.0) / double(ms.size()); }
    double Max() const { return ms.empty() ? 0 : *std::max_element(ms.begin(), ms.end()); }
};

// The offscreen context and the demo core on the song, started once for all
// benchmarks; false when there is no offscreen GL.
cOffscreenGl gGl;
bool gDemoStarted = false;
bool StartDemoOnce() {
    if (gDemoStarted) return true;
    if (!gGl.Open(800, 600)) return false;
    SetContextQuery(OffscreenContextCurrent);
    SetupGL(800, 600);
    FSOUND_Close();
    FSOUND_SetOutput(SOUND_OUTPUT_SILENT);
    FMUSIC_MODULE* song = FSOUND_Init(kRate, 16, 2) ? FMUSIC_LoadSong(kSongFile) : nullptr;
    if (!song) return false;
    StartDemo(song, [] { glFinish(); });
    gDemoStarted = true;
    return true;
}

// The frames at which the orders of the song's first pass after the first start.
std::vector<int64_t> FirstPassOrderStarts() {
    FMUSIC_MODULE* song = LoadOfflineSong(kSongFile, kRate);
    std::vector<int64_t> starts;
    std::vector<cSoundEvent> events;
    std::vector<int16_t> pcm(2 * 65536);
    for (int64_t rendered = 0; song && FirstPassEnd(song) < 0 && rendered < 3600LL * kRate; rendered += 65536)
        RenderOfflineSong(song, pcm.data(), 65536, events);
    const int64_t end = song ? FirstPassEnd(song) : -1;
    for (const cSoundEvent& e : events)
        if (e.kind == cSoundEvent::cKind::kOrder && e.sample > 0 && e.sample < end) starts.push_back(e.sample);
    if (song) FMUSIC_FreeSong(song);
    return starts;
}

}  // namespace

// ---- Key to frame ----------------------------------------------------------

// Home and Right through the first pass, twice, through the demo's key handler.
static void JumpToFirstFrame(benchmark::State& state) {
    if (!StartDemoOnce()) return state.SkipWithError(("no offscreen GL or song: " + gGl.Error()).c_str());
    const std::vector<int64_t> starts = FirstPassOrderStarts();
    cFrameClock clock;
    PrepareSong(kSongFile, kRate, clock, 0);
    StartSong();
    cStats jumps;
    double firstKeyMs = -1, worstAt = 0;
    for (auto _ : state)
        for (int tour = 0; tour < 2; ++tour)
            for (size_t i = 0; i <= starts.size(); ++i) {
                const int64_t expected = i == 0 ? 0 : starts[i - 1];
                const cSoundClock::time_point pressed = cSoundClock::now();
                HandleSongKey(i == 0 ? XK_Home : XK_Right);
                DrawFrame();
                const double ms = MsSince(pressed);
                if (SongTime() != double(expected) / kRate) {
                    char why[120];
                    std::snprintf(why, sizeof why, "key %zu went to frame %.1f, not to the order start at %lld", i,
                                  SongTime() * kRate, static_cast<long long>(expected));
                    return state.SkipWithError(why);
                }
                if (firstKeyMs < 0) {
                    firstKeyMs = ms;
                    continue;
                }
                if (ms > jumps.Max()) worstAt = double(expected) / kRate;
                jumps.ms.push_back(ms);
            }
    FMUSIC_StopSong(gSong);
    state.counters["jumps"] = double(jumps.ms.size());
    state.counters["mean_ms"] = jumps.Mean();
    state.counters["max_ms"] = jumps.Max();
    state.counters["max_at_s"] = worstAt;
    state.counters["first_key_ms"] = firstKeyMs;
    state.SetLabel(gGl.Description());
}
BENCHMARK(JumpToFirstFrame)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// The same jumps (Home and each order start) step by step, on a map made beforehand.
static void JumpStages(benchmark::State& state) {
    if (!StartDemoOnce()) return state.SkipWithError(("no offscreen GL or song: " + gGl.Error()).c_str());
    std::vector<int64_t> targets = FirstPassOrderStarts();
    targets.insert(targets.begin(), 0);
    cSongMap map;
    if (!map.Load(kSongFile, kRate)) return state.SkipWithError("cannot map the song");
    map.EventsThrough(targets.back());
    cStats catchUp, playFrom, frame;
    for (auto _ : state)
        for (int64_t target : targets) {
            FMUSIC_StopSong(gSong);
            cSoundClock::time_point t = cSoundClock::now();
            CatchUpTo(map, target);
            catchUp.ms.push_back(MsSince(t));
            t = cSoundClock::now();
            if (!FMUSIC_PlaySongFrom(gSong, target)) return state.SkipWithError("FMUSIC_PlaySongFrom failed");
            playFrom.ms.push_back(MsSince(t));
            t = cSoundClock::now();
            DrawFrame();
            frame.ms.push_back(MsSince(t));
        }
    FMUSIC_StopSong(gSong);
    state.counters["catch_up_mean_ms"] = catchUp.Mean();
    state.counters["catch_up_max_ms"] = catchUp.Max();
    state.counters["play_from_mean_ms"] = playFrom.Mean();
    state.counters["play_from_max_ms"] = playFrom.Max();
    state.counters["frame_mean_ms"] = frame.Mean();
    state.counters["frame_max_ms"] = frame.Max();
}
BENCHMARK(JumpStages)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// ---- Key to heard ----------------------------------------------------------

// Four plays of the listening module, each with one Right as order 1..4 is
// first heard, listened to on a fresh server.
static void JumpToFirstHeardSample(benchmark::State& state, cServerKind kind, int quantum) {
    cSoundServer server(kind, quantum);
    if (!server.Running()) return state.SkipWithError(server.Problem().c_str());
    server.SetEnvironment();
    unsetenv("SDL_AUDIODRIVER");
    const bool catchUp = StartDemoOnce();  // the catch-up draws only with GL
    const cXmModule module = ListeningModule(kListenedSeconds);
    const cOfflineSong render = RenderOffline(module, kListenedSeconds);
    const std::vector<int64_t> orderStarts = render.Frames(cSoundEvent::cKind::kOrder);
    // The map reads the module from a file, whole.
    char dir[] = "/tmp/vk-jump-bench-XXXXXX";
    const std::string file = mkdtemp(dir) ? std::string(dir) + "/listening.xm" : "";
    cSongMap map;
    const bool mapped = !file.empty() && WriteXmFile(module, file) && map.Load(file.c_str(), kRate);
    std::filesystem::remove_all(dir);
    if (!mapped) return state.SkipWithError("cannot map the listening module");
    FSOUND_Close();
    FSOUND_SetOutput(SOUND_OUTPUT_DEVICE);
    cStats heard, restart;  // key to heard, key to the music playing again
    double latencyMs = 0, recorderMs = 0;
    int cycle = 0;
    for (auto _ : state)
        for (int order = 1; order <= 4; ++order) {
            cMonitorRecorder recorder(server.Address());
            cPlayRecord record;
            const std::string problem = recorder.Recording() ? OpenLayer(record) : recorder.Problem();
            FMUSIC_MODULE* song = problem.empty() ? LoadListened(module, record) : nullptr;
            if (!song) return state.SkipWithError(problem.empty() ? "cannot load the song" : problem.c_str());
            cSoundClock::time_point pressed{};
            int64_t heardAtKey = -1, target = -1;
            // The key's steps, as song_control.cpp takes them while playing.
            const auto pressRight = [&](double) {
                if (target >= 0 || FMUSIC_GetOrder(song) < order) return;
                pressed = cSoundClock::now();
                heardAtKey = FMUSIC_GetHeardFrame(song);
                target = map.NextOrderStart(heardAtKey);
                FMUSIC_StopSong(song);
                FMUSIC_MODULE* const demoSong = gSong;
                gSong = song;
                if (catchUp) CatchUpTo(map, target);
                gSong = demoSong;
                FMUSIC_PlaySongFrom(song, target);
                restart.ms.push_back(MsSince(pressed));
            };
            PlayFor(song, double(orderStarts[size_t(order - 1)]) / kRate + 2.0, record, pressRight);
            latencyMs = SoundOutputLatency().Total() * 1000;
            FMUSIC_FreeSong(song);
            FSOUND_Close();
            recorder.Stop();
            if (target < 0) return state.SkipWithError("the order never came");
            // The render from the target on, for a second.
            cOfflineSong after;
            const size_t first = 2 * size_t(target), length = 2 * size_t(kRate);
            const auto begin = render.pcm.begin();
            after.pcm.assign(begin + long(first), begin + long(std::min(first + length, render.pcm.size())));
            const double rate = recorder.Rate(), from = recorder.FrameAt(pressed);
            const double unjumped = from + double(target - heardAtKey) * rate / kRate;
            const double at = AlignRender(recorder, after, from, unjumped - 0.02 * rate);
            if (std::isnan(at)) return state.SkipWithError("the point was not heard before it would come unjumped");
            heard.ms.push_back(std::chrono::duration<double, std::milli>(recorder.HeardAt(at) - pressed).count());
            cycle = recorder.BlockFrames();
            recorderMs = recorder.RecorderDelay() * 1000;
        }
    state.counters["jumps"] = double(heard.ms.size());
    state.counters["key_to_heard_mean_ms"] = heard.Mean();
    state.counters["key_to_heard_worst_ms"] = heard.Max();
    state.counters["key_to_restart_mean_ms"] = restart.Mean();
    state.counters["latency_ms"] = latencyMs;
    state.counters["server_block_frames"] = cycle;
    state.counters["recorder_delay_ms"] = recorderMs;
    state.SetLabel(std::string(server.Name()) + (catchUp ? "" : ", no GL: without the catch-up"));
}
BENCHMARK_CAPTURE(JumpToFirstHeardSample, pulseaudio, cServerKind::kPulseAudio, 0)
    ->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK_CAPTURE(JumpToFirstHeardSample, pipewire_256, cServerKind::kPipeWire, 256)
    ->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK_CAPTURE(JumpToFirstHeardSample, pipewire_1024, cServerKind::kPipeWire, 1024)
    ->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK_CAPTURE(JumpToFirstHeardSample, pipewire_2048, cServerKind::kPipeWire, 2048)
    ->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

int main(int argc, char** argv) {
    const char* data = std::getenv("VK_DATA_DIR");
    if (!data) data = VK_BUILD_DATA_DIR;
    if (chdir(data) != 0 || access(kSongFile, R_OK) != 0) {
        std::fprintf(stderr, "bench_song_jump: no %s in %s (set VK_DATA_DIR)\n", kSongFile, data);
        return 1;
    }
    // As the demo does: llvmpipe's large blocks stay in the heap between frames.
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    FSOUND_Close();
    return 0;
}
