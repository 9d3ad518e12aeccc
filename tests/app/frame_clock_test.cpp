// Song time and the frame-rate line from wall-clock readings.
#include "app/frame_clock.h"

#include <gtest/gtest.h>

#include "base/beat.h"

#include <sstream>

namespace {

timeval At(long seconds, long micros) {
    timeval t{};
    t.tv_sec = seconds;
    t.tv_usec = micros;
    return t;
}

TEST(FrameClock, SongTimeIsTheWallClockSinceTheStart) {
    cFrameClock clock;
    StartClock(clock, At(1000, 250000));
    std::ostringstream log;
    CountFrame(clock, At(1000, 750000), log);
    EXPECT_DOUBLE_EQ(SongTime(), 0.5);
    CountFrame(clock, At(1003, 125000), log);
    EXPECT_DOUBLE_EQ(SongTime(), 2.875);
    gSongTime.store(0.0);
}

TEST(FrameClock, WritesTheCountOnceTheSecondChangesAndStartsAgain) {
    cFrameClock clock;
    StartClock(clock, At(50, 900000));
    std::ostringstream log;
    // The first line counts only the frames of the start-up second's rest.
    CountFrame(clock, At(50, 950000), log);
    CountFrame(clock, At(50, 990000), log);
    EXPECT_EQ(log.str(), "");
    CountFrame(clock, At(51, 10000), log);
    EXPECT_EQ(log.str(), "fps: 3\n");
    for (int i = 0; i < 72; ++i) CountFrame(clock, At(51, 20000 + i * 1000), log);
    CountFrame(clock, At(52, 0), log);
    EXPECT_EQ(log.str(), "fps: 3\nfps: 73\n");
    // A pause over several seconds gives one line, not one per second.
    CountFrame(clock, At(60, 0), log);
    EXPECT_EQ(log.str(), "fps: 3\nfps: 73\nfps: 1\n");
    gSongTime.store(0.0);
}

TEST(FrameClock, PrintsTheCountAsTheStreamPrintsAFloat) {
    cFrameClock clock;
    StartClock(clock, At(10, 0));
    clock.frames = 1234567.0f - 1.0f;
    std::ostringstream log;
    CountFrame(clock, At(11, 0), log);
    EXPECT_EQ(log.str(), "fps: 1.23457e+06\n");
    gSongTime.store(0.0);
}

}  // namespace
