// The layer on a real PulseAudio server (a private one with a null sink, the
// same client interface as a desktop's PulseAudio or PipeWire-Pulse):
// instrument callbacks and order changes come when the server reports their
// samples played, not when the output takes them.
#include "sound/latency.h"
#include "sound/sound.h"
#include "tests/support/output_probe.h"
#include "tests/support/test_modules.h"
#include "tests/support/sound_server.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace {

using cClock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr int kSpeed = 2;
constexpr int kBpm = 150;  // 16.7 ms ticks: notes fall at every offset of a 512-frame buffer
constexpr int kOrders = 8;
constexpr int kRows = 8;
constexpr int kNotes = kOrders * kRows;

// A note on every row of 8 orders of 8 rows (33 ms a row), instruments 1
// and 2 in turn, every third note delayed by a tick; the first sounds from
// the song's first frame.
cXmModule Song() {
    cXmModule m = TestModule(1, 2, kOrders, kRows, kSpeed, kBpm);
    for (int n = 0; n < kNotes; ++n)
        m.patterns[size_t(n / kRows)].At(n % kRows, 0) = n % 3 == 2 ? Note(1 + n % 2, 0x0e, 0xd1) : Note(1 + n % 2);
    return m;
}

std::mutex gMutex;
std::vector<cClock::time_point> gCalls;

void Record(FMUSIC_MODULE*, unsigned char) {
    const cClock::time_point now = cClock::now();
    std::lock_guard<std::mutex> lock(gMutex);
    gCalls.push_back(now);
}

struct cErrors {
    std::vector<double> ms;  // observed minus heard, per event with a reported time
    double Mean() const {
        double sum = 0;
        for (double e : ms) sum += std::fabs(e);
        return ms.empty() ? 1e9 : sum / double(ms.size());
    }
    double Max() const {
        double worst = 0;
        for (double e : ms) worst = std::max(worst, std::fabs(e));
        return ms.empty() ? 1e9 : worst;
    }
};

cErrors Compare(const std::vector<cClock::time_point>& observed, const std::vector<int64_t>& frames, size_t first) {
    cErrors e;
    for (size_t i = 0; i < observed.size() && i < frames.size(); ++i) {
        const cClock::time_point heard = outputprobe::Consumed(frames[i], first, kTestRate);
        if (heard != cClock::time_point::max())
            e.ms.push_back(std::chrono::duration<double, std::milli>(observed[i] - heard).count());
    }
    return e;
}

struct cRun {
    cErrors notes, orders;
    double reportedMs = 0;  // the server's latency for the song's first buffer
    std::string Summary() const {
        char text[200];
        std::snprintf(text, sizeof text,
                      "%zu notes mean %.2f max %.2f ms, %zu order changes mean %.2f max %.2f ms, server latency %.1f ms",
                      notes.ms.size(), notes.Mean(), notes.Max(), orders.ms.size(), orders.Mean(), orders.Max(),
                      reportedMs);
        return text;
    }
};

class SoundOnPulse : public testing::Test {
protected:
    static void SetUpTestSuite() {
        server = new cSoundServer(cServerKind::kPulseAudio);
        server->SetEnvironment();
        unsetenv("SDL_AUDIODRIVER");
        unsetenv("VK_SOUND_LATENCY_OFFSET_MS");
        songPath = new std::string(WriteTestModule(Song(), "pulse.xm"));
    }
    static void TearDownTestSuite() {
        FSOUND_Close();
        delete server;
    }
    void SetUp() override {
        ASSERT_TRUE(server->Running()) << server->Problem();
        if (!opened) {
            ASSERT_EQ(FSOUND_Init(kTestRate, 16, 2), 1);
            opened = true;
        }
        ASSERT_STREQ(SoundOutputLatency().output, "pulseaudio");
    }

    // Plays the song's first pass once, watching the order as a fast main loop would.
    cRun PlayOnce(const std::vector<int64_t>& noteFrames, const std::vector<int64_t>& orderFrames) {
        FMUSIC_MODULE* song = FMUSIC_LoadSong(songPath->c_str());
        EXPECT_NE(song, nullptr);
        for (int instrument : {1, 2}) FMUSIC_SetInstCallback(song, Record, instrument);
        {
            std::lock_guard<std::mutex> lock(gMutex);
            gCalls.clear();
        }
        const size_t before = outputprobe::TakenCount();
        FMUSIC_PlaySong(song);
        std::vector<cClock::time_point> changes;
        int order = 0;
        const cClock::time_point end = cClock::now() + std::chrono::seconds(6);
        const auto done = [&] {
            std::lock_guard<std::mutex> lock(gMutex);
            return gCalls.size() >= noteFrames.size() && changes.size() >= orderFrames.size();
        };
        while (!done() && cClock::now() < end) {
            const int now = FMUSIC_GetOrder(song);
            if (now != order && changes.size() < orderFrames.size()) {
                changes.push_back(cClock::now());
            }
            order = now;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        FMUSIC_FreeSong(song);
        // The stream plays on (silence): the reports that time the last notes' buffers come.
        std::this_thread::sleep_for(milliseconds(150));
        // The stream plays silence until the song starts; the song sounds from its first frame.
        const size_t first = outputprobe::FirstSounding(before);
        cRun run;
        std::lock_guard<std::mutex> lock(gMutex);
        EXPECT_GE(gCalls.size(), noteFrames.size());
        run.notes = Compare(gCalls, noteFrames, first);
        run.orders = Compare(changes, orderFrames, first);
        run.reportedMs = outputprobe::ReportedLatency(first) * 1000;
        return run;
    }

    static cSoundServer* server;
    static std::string* songPath;
    static bool opened;
};
cSoundServer* SoundOnPulse::server = nullptr;
std::string* SoundOnPulse::songPath = nullptr;
bool SoundOnPulse::opened = false;

}  // namespace

TEST_F(SoundOnPulse, CallbacksAndOrdersComeWhenTheServerPlaysTheirSamples) {
    std::vector<int64_t> noteFrames, orderFrames;
    for (const cSoundEvent& e : RenderEvents(Song(), kNotes * kSpeed * TickFrames(kBpm))) {
        if (e.kind == cSoundEvent::cKind::kTrigger) noteFrames.push_back(e.sample);
        else if (e.order != 0) orderFrames.push_back(e.sample);
    }
    ASSERT_EQ(noteFrames.size(), size_t(kNotes));
    ASSERT_EQ(orderFrames.size(), size_t(kOrders - 1));

    // A wrong latency shifts every event of every pass; a busy machine
    // (other builds on two cores) delays single events of one pass. So the
    // bounds must hold in one of three passes, with every pass reported.
    std::string passes;
    bool met = false;
    for (int attempt = 0; attempt < 3 && !met; ++attempt) {
        const cRun run = PlayOnce(noteFrames, orderFrames);
        passes += run.Summary() + "\n";
        // The first pass starts right after FSOUND_Init: its first note must
        // already follow the server (a fresh stream that has not reported yet
        // would release it about the whole latency early). One note, so a
        // bound of a scheduling delay rather than the figures above.
        if (attempt == 0) {
            ASSERT_FALSE(run.notes.ms.empty());
            EXPECT_LT(std::fabs(run.notes.ms[0]), 25.0) << "first note of the first pass";
        }
        // The server reports the stream's queue and its sink: tens of ms, far
        // above the bounds, so releases at take time would fail them.
        EXPECT_GT(run.reportedMs, 10.0);
        met = run.notes.ms.size() >= 50 && run.orders.ms.size() == orderFrames.size() && run.notes.Mean() <= 5 &&
              run.notes.Max() <= 10 && run.orders.Mean() <= 5 && run.orders.Max() <= 10;
    }
    EXPECT_TRUE(met) << passes;
    std::printf("%s", passes.c_str());
    const cOutputLatency latency = SoundOutputLatency();
    std::printf("latency in use: %.1f ms (queued %.1f + sink %.1f)\n", latency.Total() * 1000, latency.queued * 1000,
                latency.sink * 1000);
}
