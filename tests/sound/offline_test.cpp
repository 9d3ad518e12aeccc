// Offline playback: a module rendered on the caller's clock, whose released
// events move the reported order and run the installed callbacks, without
// an output device.
#include "sound/offline.h"
#include "tests/support/test_modules.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int kSpeed = 2;
constexpr int kBpm = 125;
constexpr int kRow = kSpeed * TickFrames(kBpm);

std::vector<int> heard;  // instruments whose callback ran, in order
void Heard(FMUSIC_MODULE*, unsigned char instrument) { heard.push_back(instrument); }

}  // namespace

TEST(OfflineSong, ReleasedEventsMoveTheOrderAndRunTheCallbacksOnTheCallersThread) {
    cXmModule m = TestModule(2, 3, 2, 4, kSpeed, kBpm);
    m.patterns[0].At(1, 0) = Note(3);
    m.patterns[1].At(2, 1) = Note(2);
    FMUSIC_MODULE* song = LoadOfflineSong(WriteTestModule(m, "offline.xm").c_str(), kTestRate);
    ASSERT_NE(song, nullptr);
    FMUSIC_SetInstCallback(song, Heard, 3);  // instrument 2 has no callback

    std::vector<int16_t> pcm(2 * 8 * kRow);
    std::vector<cSoundEvent> events;
    RenderOfflineSong(song, pcm.data(), 8 * kRow, events);
    // Rendering alone changes nothing that is heard.
    EXPECT_EQ(FMUSIC_GetOrder(song), 0);
    EXPECT_TRUE(heard.empty());
    ASSERT_EQ(events.size(), 4u);  // order 0, trigger 3, order 1, trigger 2

    heard.clear();
    for (const cSoundEvent& e : events) {
        if (e.sample > kRow) break;
        ReleaseSongEvent(song, e);
    }
    EXPECT_EQ(heard, std::vector<int>{3});
    EXPECT_EQ(FMUSIC_GetOrder(song), 0);
    for (const cSoundEvent& e : events)
        if (e.sample > kRow) ReleaseSongEvent(song, e);
    EXPECT_EQ(FMUSIC_GetOrder(song), 1);
    EXPECT_EQ(heard, std::vector<int>{3});

    EXPECT_EQ(FirstPassEnd(song), -1);
    RenderOfflineSong(song, pcm.data(), kRow, events);
    EXPECT_EQ(FirstPassEnd(song), 8 * kRow);
    FMUSIC_FreeSong(song);
}

TEST(OfflineSong, LoadingNeedsNoOutputAndReportsWhatWentWrong) {
    EXPECT_EQ(LoadOfflineSong("/nonexistent/damp.xm", kTestRate), nullptr);
    EXPECT_EQ(FSOUND_GetError(), SOUND_ERR_FILE_NOT_FOUND);
    const std::string path = WriteTestModule(TestModule(1, 1, 1, 4, kSpeed, kBpm), "rate.xm");
    EXPECT_EQ(LoadOfflineSong(path.c_str(), 1000), nullptr);
    EXPECT_EQ(FSOUND_GetError(), SOUND_ERR_INVALID_PARAM);
    FMUSIC_MODULE* song = LoadOfflineSong(path.c_str(), 48000);
    ASSERT_NE(song, nullptr);
    FMUSIC_FreeSong(song);
}
