// The surviving output against a fake sound server that can be killed:
// the song keeps its time while no server takes it, and can be stopped and
// closed at any point without hanging.
#include "sound/surviving_output.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using cClock = cSoundClock;
using std::chrono::milliseconds;
constexpr int kRate = 22050;
constexpr int kFrames = 512;
const auto kBuffer =
    std::chrono::duration_cast<cClock::duration>(std::chrono::duration<double>(double(kFrames) / kRate));
constexpr milliseconds kServerLatency{150};

// The sound server: up or not; each start is a new generation, and an output
// opened on an earlier one has lost its server.
struct cServer {
    std::atomic<bool> up{true};
    std::atomic<int> generation{0};
    std::atomic<int> openDelayMs{0};  // a server slow to answer
    void Kill() {
        up = false;
        ++generation;
    }
};

// An output on the fake server: takes a buffer every buffer's length from
// its opening, heard the server's latency later, under its lock.
class cFakeServerOutput final : public cAudioOutput {
public:
    explicit cFakeServerOutput(cServer& server) : server(server), generation(server.generation) {}
    ~cFakeServerOutput() override { Close(); }
    bool Open(int, int) override {
        thread = std::thread([this] { Run(); });
        return true;
    }
    bool IsOpen() const override { return thread.joinable(); }
    void Play(cAudioSource* s) override {
        std::lock_guard<std::mutex> lock(mutex);
        source = s;
    }
    void Stop() override { Play(nullptr); }
    void Close() override {
        closing = true;
        if (thread.joinable()) thread.join();
    }
    bool Lost() const override { return server.generation != generation; }

private:
    void Run() {
        std::vector<int16_t> buffer(2 * kFrames);
        for (cClock::time_point at = cClock::now(); !closing; at += kBuffer) {
            std::this_thread::sleep_until(at);
            std::lock_guard<std::mutex> lock(mutex);
            if (source && !Lost()) {
                source->Fill(buffer.data(), kFrames);
                source->Heard(at + kServerLatency);
            }
        }
    }
    cServer& server;
    const int generation;
    std::atomic<bool> closing{false};
    std::mutex mutex;
    cAudioSource* source = nullptr;
    std::thread thread;
};

// The song: when each buffer it renders is heard, and how long it is.
struct cBuffer {
    cClock::time_point at;
    int frames;
    bool operator<(cClock::time_point t) const { return at < t; }
};

class cSong final : public cAudioSource {
public:
    void Fill(int16_t*, int count) override { frames = count; }
    void Heard(cClock::time_point at) override {
        std::lock_guard<std::mutex> lock(mutex);
        heard.push_back({at, frames});
    }
    std::vector<cBuffer> Heard() {
        std::lock_guard<std::mutex> lock(mutex);
        return heard;
    }

private:
    int frames = 0;  // the output's thread
    std::mutex mutex;
    std::vector<cBuffer> heard;
};

cSurvivingOutput::cOpener OpenerOn(cServer& server) {
    return [&server](int rate, int frames) -> std::unique_ptr<cAudioOutput> {
        std::this_thread::sleep_for(milliseconds(server.openDelayMs));
        if (!server.up) return nullptr;
        auto output = std::make_unique<cFakeServerOutput>(server);
        output->Open(rate, frames);
        return output;
    };
}

double Ms(cClock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

}  // namespace

// Where no server takes the song back (none comes, or one answers only
// after a long while), the song plays on at its pace on the clock, the loss
// is told once, and Stop and Close never wait for an attempt to reach the
// server. (A server that comes back is the restart test's, on real servers.)
TEST(SurvivingOutput, SongGoesOnAndEndsPromptlyWhileNoServerTakesItBack) {
    struct cCase {
        const char* name;
        bool comesBack;
        int openDelayMs;  // how long each attempt to reach the server takes
    };
    for (const cCase& c : {cCase{"never back", false, 0}, cCase{"answering slowly", true, 1500}}) {
        SCOPED_TRACE(c.name);
        cServer server;
        cSong song;
        cSurvivingOutput output(OpenerOn(server));
        testing::internal::CaptureStderr();
        ASSERT_TRUE(output.Open(kRate, kFrames));
        output.Play(&song);
        std::this_thread::sleep_for(milliseconds(400));
        server.Kill();
        server.openDelayMs = c.openDelayMs;
        server.up = c.comesBack;
        const cClock::time_point killed = cClock::now();
        std::this_thread::sleep_for(cSurvivingOutput::kRetryEvery + milliseconds(1000));
        const cClock::time_point stopping = cClock::now();
        output.Stop();
        EXPECT_LT(Ms(cClock::now() - stopping), 100.0) << "Stop waits for the server";
        const std::vector<cBuffer> heard = song.Heard();
        std::this_thread::sleep_for(milliseconds(100));
        EXPECT_EQ(song.Heard().size(), heard.size()) << "a buffer taken after Stop";
        // A new play (from wherever the clock then is) stops as promptly.
        const cClock::time_point again = cClock::now();
        output.Play(&song);
        output.Stop();
        EXPECT_LT(Ms(cClock::now() - again), 100.0) << "Play or Stop waits for the server";
        auto closed = std::async(std::launch::async, [&] { output.Close(); });
        EXPECT_EQ(closed.wait_for(std::chrono::seconds(3)), std::future_status::ready) << "Close hangs";
        closed.wait();
        const std::string said = testing::internal::GetCapturedStderr();

        // Buffer by buffer the song is heard on, each right after the one
        // before, across the loss too, and as far as the time gone by.
        for (size_t k = 1; k < heard.size(); ++k)
            EXPECT_NEAR(Ms(heard[k].at - heard[k - 1].at), 1000.0 * heard[k - 1].frames / kRate, 1.0)
                << "buffer " << k << " of " << heard.size();
        const size_t lastBefore = size_t(std::lower_bound(heard.begin(), heard.end(), killed) - heard.begin());
        ASSERT_LT(lastBefore, heard.size());
        EXPECT_NEAR(Ms(heard.back().at - heard[lastBefore].at), Ms(stopping - killed), 150.0);
        EXPECT_EQ(said.rfind("sound: the sound server has gone", 0), 0u) << said;
    }
}
