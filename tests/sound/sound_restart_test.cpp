// A sound server that dies mid-song: the song keeps its time while nothing
// plays (order changes come on the system clock), the layer finds the new
// server that starts at the same address two seconds later, the music is
// heard again within two seconds, and the callbacks follow what is heard.
// One line on standard error at the loss and one at the return.
#include "sound/heard_meter.h"
#include "sound/sound.h"
#include "tests/support/sound_server.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <thread>

namespace {

using std::chrono::duration;

constexpr double kSongSeconds = 11, kKillAt = 3.5, kDownFor = 2;
constexpr double kRenderRate = cOfflineSong::kRate;

double Ms(cSoundClock::duration d) { return duration<double, std::milli>(d).count(); }

class ServerRestart : public testing::TestWithParam<cServerKind> {};

}  // namespace

TEST_P(ServerRestart, TheSongGoesOnWithoutAServerAndIsHeardInSyncWhenOneIsBack) {
    cSoundServer server(GetParam());
    ASSERT_TRUE(server.Running()) << server.Problem();
    server.SetEnvironment();
    unsetenv("SDL_AUDIODRIVER");
    unsetenv("VK_SOUND_LATENCY_OFFSET_MS");
    const cXmModule module = ListeningModule(kSongSeconds);
    const cOfflineSong song = RenderOffline(module, kSongSeconds);

    auto before = std::make_unique<cMonitorRecorder>(server.Address());
    ASSERT_TRUE(before->Recording()) << before->Problem();
    cPlayRecord record;
    ASSERT_EQ(OpenLayer(record), "");
    FMUSIC_MODULE* handle = LoadListened(module, record);
    ASSERT_NE(handle, nullptr);

    // The server is killed and a new one started beside the playing song.
    std::unique_ptr<cMonitorRecorder> after;
    cSoundClock::time_point killed, back;
    std::atomic<bool> played{false};
    testing::internal::CaptureStderr();
    std::thread crash([&] {
        std::this_thread::sleep_for(duration<double>(kKillAt));
        before->Stop();
        server.Kill();
        killed = cSoundClock::now();
        std::this_thread::sleep_for(duration<double>(kDownFor));
        server.Start();
        back = cSoundClock::now();
        after = std::make_unique<cMonitorRecorder>(server.Address());
        // The new server ends with the thread that started it.
        while (!played) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        after->Stop();
    });
    PlayFor(handle, kSongSeconds, record);
    played = true;
    crash.join();
    const std::string errors = testing::internal::GetCapturedStderr();
    FMUSIC_FreeSong(handle);
    FSOUND_Close();
    ASSERT_TRUE(after->Recording()) << after->Problem();

    // Where the song lies in each recording; the first sets the song's time.
    const double start = AlignSongStart(*before, song);
    ASSERT_FALSE(std::isnan(start)) << "the song was not heard before the server died";
    const cSoundClock::time_point songStart = before->HeardAt(start);

    // The song's time as the callbacks kept it in the last second before the
    // server died: an underrun before the kill may have moved what is heard
    // (and the layer with it) from where the song's first sound put it.
    const auto dueAt = [&](int64_t frame) {
        return songStart + std::chrono::duration_cast<cSoundClock::duration>(duration<double>(frame / kRenderRate));
    };
    const std::vector<int64_t> noteFrames = song.Frames(cSoundEvent::cKind::kTrigger);
    std::vector<double> kept;
    for (size_t k = 0; k < noteFrames.size() && k < record.calls.size(); ++k)
        if (dueAt(noteFrames[k]) < killed && dueAt(noteFrames[k]) > killed - std::chrono::seconds(1))
            kept.push_back(Ms(record.calls[k] - dueAt(noteFrames[k])));
    ASSERT_GE(kept.size(), 3u) << "too few callbacks in the second before the server died";
    std::nth_element(kept.begin(), kept.begin() + kept.size() / 2, kept.end());
    const double shift = kept[kept.size() / 2];

    // Order changes due while no server played, or while the layer found the
    // new one, came on that time.
    const std::vector<int64_t> orderFrames = song.Frames(cSoundEvent::cKind::kOrder);
    int meanwhile = 0;
    std::ostringstream orders;
    orders << "the song's time before the loss: " << shift << " ms from its first sound's\n";
    for (size_t i = 0; i < orderFrames.size(); ++i) {
        const cSoundClock::time_point due = dueAt(orderFrames[i]);
        if (due < killed || due > back + std::chrono::seconds(2)) continue;
        ++meanwhile;
        ASSERT_LT(i, record.orderChanges.size()) << "the order stopped before its change " << i + 1;
        const double off = Ms(record.orderChanges[i] - due) - shift;
        orders << "order change " << i + 1 << " " << off << " ms from due\n";
        EXPECT_LT(std::fabs(off), 25.0) << orders.str();
    }
    EXPECT_GE(meanwhile, 2);

    // Heard again soon, and in sync.
    const int64_t firstSound = after->FirstSound();
    ASSERT_GE(firstSound, 0) << "nothing was heard from the new server; standard error:\n" << errors;
    EXPECT_LT(Ms(after->HeardAt(double(firstSound)) - back), 2000.0);
    // The song keeps its time: frame 0 of it belongs where the first
    // recording put it; looked for within 0.3 s of that.
    const double expected = after->FrameAt(songStart);
    const double resumed = AlignRender(*after, song, expected - 0.3 * after->Rate(), expected + 0.3 * after->Rate());
    ASSERT_FALSE(std::isnan(resumed)) << "the song was not heard from the new server";
    const cHeardErrors notes =
        HeardErrors(record.calls, song.Frames(cSoundEvent::cKind::kTrigger), *after, song, resumed);
    EXPECT_GE(notes.ms.size(), 20u) << notes.Summary("callbacks");
    EXPECT_LE(notes.Mean(), 5.0) << notes.Summary("callbacks");
    // One play only: a busy moment may delay a few callbacks (here up to one
    // in ten), a wrong latency moves them all.
    const auto late = std::count_if(notes.ms.begin(), notes.ms.end(), [](double e) { return std::fabs(e) > 10.0; });
    EXPECT_LE(size_t(late) * 10, notes.ms.size()) << notes.Summary("callbacks");

    // One line when the sound was lost, one when it was back.
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 2) << errors;
    std::printf("%s%s after the restart; heard again %.0f ms after the server was back\nstandard error:\n%s",
                orders.str().c_str(), notes.Summary("callbacks").c_str(),
                Ms(after->HeardAt(double(firstSound)) - back), errors.c_str());
}

INSTANTIATE_TEST_SUITE_P(Servers, ServerRestart, testing::Values(cServerKind::kPulseAudio, cServerKind::kPipeWire),
                         [](const testing::TestParamInfo<cServerKind>& info) {
                             return info.param == cServerKind::kPulseAudio ? "PulseAudio" : "PipeWire";
                         });
