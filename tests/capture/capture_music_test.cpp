// The capture's music on the frame clock: beats at their sample-exact song
// time, orders from the frame that hears them, the first pass's length and
// the audio that belongs to a range of frames.
#include "base/beat.h"
#include "capture/capture_clock.h"
#include "capture/capture_music.h"
#include "core/music.h"
#include "sound/renderer.h"
#include "tests/support/test_modules.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

constexpr int kFps = 30;
constexpr int kBpm = 125;
constexpr int kSpeed = 3;
// At 48000 Hz and 125 BPM a tick is 960 samples, a row 2880, a frame 1600:
// row 7 starts at 20160 samples = frame 12.6, row 10 at 28800 = frame 18.
constexpr int kTick = kCaptureRate * 5 / (2 * kBpm);
constexpr int kRow = kSpeed * kTick;

// Two patterns of 8 rows: instruments 13 and 33 together on row 7, 13 alone
// on row 10 (the second order's row 2).
cXmModule BeatModule() {
    cXmModule m = TestModule(2, 33, 2, 8, kSpeed, kBpm);
    m.patterns[0].At(7, 0) = Note(13);
    m.patterns[0].At(7, 1) = Note(33);
    m.patterns[1].At(2, 0) = Note(13);
    return m;
}

class CaptureMusic : public ::testing::Test {
protected:
    void SetUp() override {
        gSongTime = 0.0;
        gBeatTime = 0.0;
        gBeatCount = 0;
        std::string error;
        ASSERT_TRUE(music.Load(WriteTestModule(BeatModule(), "beats.xm").c_str(), error)) << error;
        for (int instrument : kBeatInstruments) FMUSIC_SetInstCallback(music.Song(), OnBeatInstrument, instrument);
    }
    cCaptureMusic music{kFps};
};

}  // namespace

TEST_F(CaptureMusic, BeatsCarryTheirSampleExactSongTimeNotTheFrames) {
    ASSERT_EQ(music.Render(0, 40, nullptr), 40);
    const double beat = 7.0 * kRow / kCaptureRate;  // 0.42 s, between frames 12 and 13
    music.AdvanceTo(12);
    EXPECT_EQ(BeatCount(), 0);
    EXPECT_EQ(SongTime(), 12.0 / kFps);
    music.AdvanceTo(13);
    EXPECT_EQ(BeatCount(), 2);  // both instruments of the row
    EXPECT_EQ(BeatTime(), beat);
    EXPECT_EQ(SongTime(), 13.0 / kFps);
    // Frames that hear nothing new change only the song time.
    music.AdvanceTo(17);
    EXPECT_EQ(BeatCount(), 2);
    EXPECT_EQ(BeatTime(), beat);
}

TEST_F(CaptureMusic, OrderChangesFromTheFrameThatHearsThemAndBeatOnAFrameCountsForIt) {
    ASSERT_EQ(music.Render(0, 40, nullptr), 40);
    // The second order starts at 8 rows = 23040 samples = frame 14.4; its
    // row 2 lands exactly on frame 18.
    music.AdvanceTo(14);
    EXPECT_EQ(FMUSIC_GetOrder(music.Song()), 0);
    music.AdvanceTo(15);
    EXPECT_EQ(FMUSIC_GetOrder(music.Song()), 1);
    music.AdvanceTo(17);
    EXPECT_EQ(BeatCount(), 2);
    music.AdvanceTo(18);
    EXPECT_EQ(BeatCount(), 3);
    EXPECT_EQ(BeatTime(), 18.0 / kFps);
}

TEST_F(CaptureMusic, WholeSongEndsOnTheFirstFrameAfterItsFirstPassWithTheAudioOfItsFrames) {
    // One pass is 16 rows = 46080 samples = frame 28.8: 29 frames.
    int64_t handed = 0;
    const int64_t end = music.Render(3, -1, [&](const int16_t*, int frames) {
        handed += frames;
        return true;
    });
    EXPECT_EQ(end, 29);
    EXPECT_EQ(handed, FrameSample(29, kFps, kCaptureRate) - FrameSample(3, kFps, kCaptureRate));
}

TEST_F(CaptureMusic, AudioOfARangeIsTheSongsOwnFromTheRangesFirstFrame) {
    std::vector<int16_t> got;
    ASSERT_EQ(music.Render(10, 25, [&](const int16_t* s, int frames) {
        got.insert(got.end(), s, s + 2 * frames);
        return true;
    }), 25);
    cRenderer whole;
    ASSERT_EQ(whole.LoadFile(WriteTestModule(BeatModule(), "whole.xm").c_str()), 0);
    ASSERT_TRUE(whole.Start(kCaptureRate));
    std::vector<int16_t> all(2 * 25 * 1600);
    std::vector<cSoundEvent> events;
    whole.Render(all.data(), 25 * 1600, events);
    EXPECT_EQ(got, std::vector<int16_t>(all.begin() + 2 * 10 * 1600, all.end()));
    EXPECT_NE(got, std::vector<int16_t>(got.size()));  // the notes are in it
}

TEST_F(CaptureMusic, RefusedAudioStopsTheRender) {
    EXPECT_EQ(music.Render(0, 25, [](const int16_t*, int) { return false; }), -1);
}
