// Sync accuracy of the sound layer: how far from the moment a note's first
// sample is played its instrument callback runs, the same for order changes,
// the output latency in use, and the layer's CPU use while playing.
//
// SyncAccuracy/sdl runs on SDL's dummy driver unless SDL_AUDIODRIVER says
// otherwise (e.g. "disk" with SDL_DISKAUDIOFILE), both of which consume the
// output at real-time pace; the moment the driver takes each buffer is
// observed at SDL's boundary by the output probe of the sound tests.
// SyncAccuracy/pulse runs on a private PulseAudio server with a null sink,
// started here; the probe times each buffer the layer writes to its stream
// plus the latency the server reports for the stream at that moment. The
// true time of a note is its buffer's time plus its offset in the buffer at
// the mixing rate; the note's frame comes from rendering the module offline.
//
// HeardTime/<server> judges by ear instead: on a private PulseAudio server,
// or a PipeWire session at a graph cycle of 256, 1024 or 2048 frames, the
// null sink's monitor is recorded and matched with the offline render
// (sound/heard_meter.h); callbacks and order changes against the
// moments their samples were heard, and the time from FSOUND_Init to the
// song's first heard sample.
#include "sound/latency.h"
#include "sound/renderer.h"
#include "sound/sound.h"
#include "sound/xm_writer.h"
#include "tests/support/output_probe.h"
#if VK_HEARD_KIT
#include "sound/heard_meter.h"
#include "tests/support/sound_server.h"
#endif
#include "tests/support/test_modules.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

namespace {

using cClock = outputprobe::cClock;

constexpr int kRate = 22050;
constexpr int kTriggers = 100;
// One pass: 4 orders of 32 rows of 3 ticks of 367.5 frames (libxmp makes a
// tick 367 frames, so this reaches a little into the next pass).
constexpr int kPassFrames = 4 * 32 * 3 * 735 / 2;
constexpr double kPassSeconds = double(kPassFrames) / kRate;  // 6.4 s

// ---- The module ------------------------------------------------------------

// 100 notes of instruments 1-4 on 4 channels over 4 orders of 32 rows at
// speed 3, BPM 150 (16.7 ms ticks, which do not divide a 512-frame buffer, so
// notes fall at all offsets in it), some delayed by a tick or two; restart
// at order 1. The first note sounds from the first frame, which tells the
// song's first buffer from the silence the Pulse output plays before it.
cXmModule SyncModule() {
    cXmModule m = TestModule(4, 0, 4, 32, 3, 150);
    m.name = "sync bench";
    m.restart = 1;
    for (int i = 0; i < 4; ++i) {
        cXmInstrument ins;
        cXmSample s;
        for (int k = 0; k < 64; ++k) s.data8.push_back(int8_t(90 * std::sin(k * 2 * M_PI / 64)));
        s.loop = cXmLoop::kForward;
        s.loopLength = 64;
        ins.samples.push_back(s);
        m.instruments.push_back(ins);
    }
    m.patterns[0].At(0, 0) = {XmNote(4, 0), 1, 0, 0, 0};
    std::mt19937 random(3);
    for (int placed = 1; placed < kTriggers;) {
        const int pattern = int(random() % 4), row = int(random() % 32), channel = int(random() % 4);
        cXmCell& c = m.patterns[pattern].At(row, channel);
        if (c.note) continue;
        c.note = XmNote(3 + int(random() % 3), int(random() % 12));
        c.instrument = uint8_t(1 + random() % 4);
        if (random() % 3 == 0) {
            c.effect = 0x0e;
            c.param = uint8_t(0xd1 + random() % 2);
        }
        ++placed;
    }
    return m;
}

// Loads m through a temporary file, which the layer reads whole.
FMUSIC_MODULE* LoadModule(const cXmModule& m) {
    char dir[] = "/tmp/vk-sync-bench-XXXXXX";
    if (!mkdtemp(dir)) std::abort();
    const std::string path = std::string(dir) + "/sync.xm";
    if (!WriteXmFile(m, path)) std::abort();
    FMUSIC_MODULE* song = FMUSIC_LoadSong(path.c_str());
    std::filesystem::remove_all(dir);
    return song;
}

// The events of one pass of the module, stamped offline.
std::vector<cSoundEvent> OnePass(const cXmModule& m) {
    const std::vector<uint8_t> bytes = EncodeXm(m);
    cRenderer r;
    r.LoadMemory(bytes.data(), bytes.size());
    r.Start(kRate);
    std::vector<int16_t> pcm(2 * size_t(kPassFrames));
    std::vector<cSoundEvent> events;
    r.Render(pcm.data(), kPassFrames, events);
    return events;
}

// ---- Callbacks -------------------------------------------------------------

std::mutex gCallsMutex;
std::vector<cClock::time_point> gCalls;

void OnInstrument(FMUSIC_MODULE*, unsigned char) {
    const cClock::time_point now = cClock::now();
    std::lock_guard<std::mutex> lock(gCallsMutex);
    gCalls.push_back(now);
}

struct cErrors {
    double meanMs = 0, maxMs = 0, meanSignedMs = 0;
    int count = 0;
};

cErrors Compare(const std::vector<cClock::time_point>& observed, const std::vector<int64_t>& frames, size_t first) {
    cErrors e;
    for (size_t i = 0; i < observed.size() && i < frames.size(); ++i) {
        const cClock::time_point consumed = outputprobe::Consumed(frames[i], first, kRate);
        const double ms = std::chrono::duration<double, std::milli>(observed[i] - consumed).count();
        e.meanMs += std::fabs(ms);
        e.meanSignedMs += ms;
        e.maxMs = std::max(e.maxMs, std::fabs(ms));
        ++e.count;
    }
    if (e.count) {
        e.meanMs /= e.count;
        e.meanSignedMs /= e.count;
    }
    return e;
}

// Started by main before any thread, so that its environment is set.
bool gPulseServerRunning = false;
std::string gSdlDriver = "dummy";  // SDL_AUDIODRIVER as given, or dummy

// (Re)opens the layer's output: SDL's driver, or our stream on the private
// Pulse server; the reason when that fails.
std::string OpenOutput(bool pulse) {
    FSOUND_Close();
    if (pulse) {
        if (!gPulseServerRunning) return "no PulseAudio server";
        unsetenv("SDL_AUDIODRIVER");
    } else {
        setenv("SDL_AUDIODRIVER", gSdlDriver.c_str(), 1);
    }
    if (FSOUND_Init(kRate, 16, 2) != 1) return "FSOUND_Init failed";
    if (pulse && std::string(SoundOutputLatency().output) != "pulseaudio") return "the layer was built without libpulse";
    return "";
}

double ProcessCpuSeconds() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + t.tv_nsec / 1e9;
}

}  // namespace

// Plays the 100-note module once through; instrument callback and order
// change timing against the moment the output played them, and the latency.
static void SyncAccuracy(benchmark::State& state, bool pulse) {
    const std::string problem = OpenOutput(pulse);
    if (!problem.empty()) {
        state.SkipWithError(problem.c_str());
        return;
    }
    const cXmModule module = SyncModule();
    const std::vector<cSoundEvent> pass = OnePass(module);
    std::vector<int64_t> triggerFrames, orderFrames;
    std::vector<int> orders;
    for (const cSoundEvent& e : pass) {
        if (e.kind == cSoundEvent::cKind::kTrigger) triggerFrames.push_back(e.sample);
        else if (e.order != 0) orderFrames.push_back(e.sample), orders.push_back(e.order);
    }
    triggerFrames.resize(kTriggers);  // the pass may reach the next one's first notes
    FMUSIC_MODULE* song = LoadModule(module);
    for (int i = 1; i <= 4; ++i) FMUSIC_SetInstCallback(song, OnInstrument, i);

    cErrors triggers, changes;
    double serverLatency = -1;
    for (auto _ : state) {
        {
            std::lock_guard<std::mutex> lock(gCallsMutex);
            gCalls.clear();
        }
        const size_t before = outputprobe::TakenCount();  // the song starts with the next buffer
        const cClock::time_point start = cClock::now();
        FMUSIC_PlaySong(song);
        // Watch the order closely, as a main loop would at a very high frame
        // rate, until the pass has been heard (the driver may lag real time).
        std::vector<cClock::time_point> orderSeen;
        int order = 0;
        const auto heard = [&] {
            std::lock_guard<std::mutex> lock(gCallsMutex);
            return gCalls.size() >= triggerFrames.size() && orderSeen.size() >= orders.size();
        };
        while (!heard() && cClock::now() - start < std::chrono::duration<double>(2 * kPassSeconds)) {
            const int now = FMUSIC_GetOrder(song);
            if (now != order && orderSeen.size() < orders.size()) orderSeen.push_back(cClock::now());
            order = now;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        FMUSIC_StopSong(song);
        // The Pulse output plays silence up to the song, and on after it
        // while the reports that time the last notes come.
        if (pulse) std::this_thread::sleep_for(std::chrono::milliseconds(150));
        const size_t first = pulse ? outputprobe::FirstSounding(before) : before;
        serverLatency = outputprobe::ReportedLatency(first);
        std::lock_guard<std::mutex> lock(gCallsMutex);
        // The song loops on from order 1: only the first pass counts.
        if (gCalls.size() < triggerFrames.size()) state.SkipWithError("fewer callbacks than notes");
        triggers = Compare(gCalls, triggerFrames, first);
        changes = Compare(orderSeen, orderFrames, first);
    }
    FMUSIC_FreeSong(song);
    state.counters["notes"] = triggers.count;
    state.counters["note_mean_ms"] = triggers.meanMs;
    state.counters["note_max_ms"] = triggers.maxMs;
    state.counters["note_signed_mean_ms"] = triggers.meanSignedMs;
    state.counters["orders"] = changes.count;
    state.counters["order_mean_ms"] = changes.meanMs;
    state.counters["order_max_ms"] = changes.maxMs;
    state.counters["buffer_frames"] = outputprobe::BufferFrames();
    // The latency the layer releases with at the end, and the one the
    // output reported for the song's first buffer.
    const cOutputLatency latency = SoundOutputLatency();
    state.counters["latency_ms"] = latency.Total() * 1000;
    state.counters["sink_ms"] = latency.sink * 1000;
    state.counters["reported_ms"] = serverLatency * 1000;
    state.SetLabel(latency.output);
}
BENCHMARK_CAPTURE(SyncAccuracy, sdl, false)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK_CAPTURE(SyncAccuracy, pulse, true)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

#if VK_HEARD_KIT
// Plays a 4-second song from a fresh FSOUND_Init on a fresh server and
// listens to it.
static void HeardTime(benchmark::State& state, cServerKind kind, int quantum) {
    constexpr double kSeconds = 4;
    cSoundServer server(kind, quantum);
    if (!server.Running()) {
        state.SkipWithError(server.Problem().c_str());
        return;
    }
    server.SetEnvironment();
    unsetenv("SDL_AUDIODRIVER");  // the other benchmarks' dummy driver
    const cXmModule module = ListeningModule(kSeconds);
    const cOfflineSong song = RenderOffline(module, kSeconds);
    cHeardErrors notes, changes;
    double firstHeardMs = 0, recorderMs = 0;
    int cycle = 0;
    for (auto _ : state) {
        cMonitorRecorder recorder(server.Address());
        cPlayRecord record;
        const std::string problem = recorder.Recording() ? OpenLayer(record) : recorder.Problem();
        FMUSIC_MODULE* handle = problem.empty() ? LoadListened(module, record) : nullptr;
        if (!handle) {
            state.SkipWithError(problem.empty() ? "cannot load the song" : problem.c_str());
            break;
        }
        PlayFor(handle, kSeconds, record);
        FMUSIC_FreeSong(handle);
        FSOUND_Close();
        recorder.Stop();
        const double start = AlignSongStart(recorder, song);
        if (std::isnan(start)) {
            state.SkipWithError("the song was not heard");
            break;
        }
        notes = HeardErrors(record.calls, song.Frames(cSoundEvent::cKind::kTrigger), recorder, song, start);
        changes = HeardErrors(record.orderChanges, song.Frames(cSoundEvent::cKind::kOrder), recorder, song, start);
        firstHeardMs = std::chrono::duration<double, std::milli>(recorder.HeardAt(start) - record.init).count();
        cycle = recorder.BlockFrames();
        recorderMs = recorder.RecorderDelay() * 1000;
    }
    state.counters["notes"] = double(notes.ms.size());
    state.counters["note_mean_ms"] = notes.SignedMean();
    state.counters["note_abs_mean_ms"] = notes.Mean();
    state.counters["note_worst_ms"] = notes.Worst();
    state.counters["order_mean_ms"] = changes.SignedMean();
    state.counters["order_worst_ms"] = changes.Worst();
    state.counters["init_to_heard_ms"] = firstHeardMs;
    state.counters["server_block_frames"] = cycle;
    state.counters["recorder_delay_ms"] = recorderMs;
    state.SetLabel(server.Name());
}
BENCHMARK_CAPTURE(HeardTime, pulseaudio, cServerKind::kPulseAudio, 0)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK_CAPTURE(HeardTime, pipewire_256, cServerKind::kPipeWire, 256)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK_CAPTURE(HeardTime, pipewire_1024, cServerKind::kPipeWire, 1024)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK_CAPTURE(HeardTime, pipewire_2048, cServerKind::kPipeWire, 2048)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
#endif

// The layer's CPU use while it plays (rendering on SDL's thread, releasing
// on its own) and the program does nothing else: seconds of CPU per second.
static void PlaybackCpu(benchmark::State& state) {
    const std::string problem = OpenOutput(false);
    if (!problem.empty()) {
        state.SkipWithError(problem.c_str());
        return;
    }
    FMUSIC_MODULE* song = LoadModule(SyncModule());
    for (int i = 1; i <= 4; ++i) FMUSIC_SetInstCallback(song, OnInstrument, i);
    double cpuPerSecond = 0;
    for (auto _ : state) {
        const double cpu0 = ProcessCpuSeconds();
        const cClock::time_point start = cClock::now();
        FMUSIC_PlaySong(song);
        std::this_thread::sleep_for(std::chrono::duration<double>(kPassSeconds));
        FMUSIC_StopSong(song);
        const double wall = std::chrono::duration<double>(cClock::now() - start).count();
        cpuPerSecond = (ProcessCpuSeconds() - cpu0) / wall;
    }
    FMUSIC_FreeSong(song);
    state.counters["cpu_s_per_s"] = cpuPerSecond;
}
BENCHMARK(PlaybackCpu)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// Rendering cost alone, as an offline capture pays it: seconds of CPU per
// second of music at 22050 Hz, 4 channels.
static void RenderOffline(benchmark::State& state) {
    const std::vector<uint8_t> bytes = EncodeXm(SyncModule());
    cRenderer r;
    r.LoadMemory(bytes.data(), bytes.size());
    r.Start(kRate);
    const int frames = kRate / 60;  // one video frame's worth at a time
    std::vector<int16_t> pcm(2 * size_t(frames));
    std::vector<cSoundEvent> events;
    for (auto _ : state) {
        events.clear();
        r.Render(pcm.data(), frames, events);
        benchmark::DoNotOptimize(pcm.data());
    }
    state.counters["cpu_s_per_s"] =
        benchmark::Counter(double(state.iterations()) * frames / kRate, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(RenderOffline);

int main(int argc, char** argv) {
    if (const char* driver = std::getenv("SDL_AUDIODRIVER")) gSdlDriver = driver;
#if VK_HEARD_KIT
    cSoundServer server(cServerKind::kPulseAudio);  // before any thread: it forks
    if (server.Running()) server.SetEnvironment();
    else std::fprintf(stderr, "%s\n", server.Problem().c_str());
    gPulseServerRunning = server.Running();
#endif
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    FSOUND_Close();
    return 0;
}
