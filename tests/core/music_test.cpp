// The beat callback and the error texts; the callback installed on the real
// sound layer for instruments 33 and 13.
#include "base/beat.h"
#include "core/music.h"
#include "tests/support/test_modules.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {
void ResetBeat(double songTime) {
    gSongTime = songTime;
    gBeatTime = 0.0;
    gBeatCount = 0;
}
}  // namespace

TEST(SoundErrorText, NamesEveryCodeOfTheLayer) {
    // The texts, one a line, code 0 first (code 12's ends in a blank).
    std::ifstream file(VK_SOURCE_DIR "/tests/core/error_texts.txt");
    std::vector<std::string> texts;
    for (std::string line; std::getline(file, line);) texts.push_back(line);
    ASSERT_EQ(texts.size(), 19u);
    for (unsigned code = 0; code <= 18; ++code) EXPECT_EQ(SoundErrorText(code), texts[code]) << code;
    EXPECT_STREQ(SoundErrorText(SOUND_ERR_MEMORY), "Not enough memory ");
    EXPECT_EQ(SoundErrorText(SOUND_ERR_MEDIAPLAYER), texts[18]);
}

TEST(SoundErrorText, AnyOtherCodeIsUnknown) {
    EXPECT_STREQ(SoundErrorText(19), "Unknown error");
    EXPECT_STREQ(SoundErrorText(static_cast<unsigned>(-1)), "Unknown error");
    EXPECT_STREQ(SoundErrorText(0x80000000u), "Unknown error");
}

TEST(OnBeatInstrument, RecordsTheSongTimeAndCountsTheBeat) {
    ResetBeat(12.5);
    OnBeatInstrument(nullptr, 33);
    EXPECT_EQ(BeatTime(), 12.5);
    EXPECT_EQ(BeatCount(), 1);
    gSongTime = 13.0;
    OnBeatInstrument(nullptr, 13);
    EXPECT_EQ(BeatTime(), 13.0);
    EXPECT_EQ(BeatCount(), 2);
}

// Row 0 plays instruments 33 and 13 together, row 2 instrument 1 (no beat),
// row 4 instrument 13 alone.
TEST(OnBeatInstrument, InstalledForThirtyThreeAndThirteenCountsEachOfTheirNotes) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_EQ(FSOUND_Init(22050, 16, 2), 1);
    cXmModule m = TestModule(3, 33, 1, 16, 2, 225);
    m.patterns[0].At(0, 0) = Note(33);
    m.patterns[0].At(0, 2) = Note(13);
    m.patterns[0].At(2, 1) = Note(1);
    m.patterns[0].At(4, 1) = Note(13);
    FMUSIC_MODULE* song = FMUSIC_LoadSong(WriteTestModule(m, "beats.xm").c_str());
    ASSERT_NE(song, nullptr);
    ASSERT_EQ(FMUSIC_SetInstCallback(song, OnBeatInstrument, 33), 1);
    ASSERT_EQ(FMUSIC_SetInstCallback(song, OnBeatInstrument, 13), 1);

    // Beats before the first main-loop pass has ended record song time 0.0.
    ResetBeat(0.0);
    ASSERT_EQ(FMUSIC_PlaySong(song), 1);
    const auto waitForBeats = [](int n) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (BeatCount() < n && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
    };
    waitForBeats(2);
    EXPECT_EQ(BeatCount(), 2);
    EXPECT_EQ(BeatTime(), 0.0);
    gSongTime = 0.05;
    waitForBeats(3);
    FMUSIC_StopSong(song);
    EXPECT_EQ(BeatCount(), 3);
    EXPECT_EQ(BeatTime(), 0.05);
    FMUSIC_FreeSong(song);
}
