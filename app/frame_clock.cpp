// Song time and frames per second from gettimeofday.
//
// The song time is set at the end of a pass, so each frame is drawn with the
// time of the end of the previous pass (the first with 0.0). The count is a
// float and prints with the stream's default formatting: 73 prints as "73".
#include "app/frame_clock.h"

#include "base/beat.h"

// Read the wall clock
timeval WallClock() {
    timeval now{};
    gettimeofday(&now, nullptr);
    return now;
}

// Convert a wall-clock reading to seconds
double Seconds(const timeval& clock) { return double(clock.tv_sec) + double(clock.tv_usec) / 1000000.0; }

// Start counting at the song's start
void StartClock(cFrameClock& clock, const timeval& now) {
    clock.lastSecond = now.tv_sec;
    clock.startTime = Seconds(now);
    clock.frames = 0.0f;
}

// Set the song time
void SetSongClock(cFrameClock& clock, const timeval& now, double songTime) {
    clock.startTime = Seconds(now) - songTime;
    gSongTime.store(songTime, std::memory_order_relaxed);
}

// Count a finished frame and advance the song time
void CountFrame(cFrameClock& clock, const timeval& now, std::ostream& log) {
    clock.frames = clock.frames + 1.0f;
    gSongTime.store(Seconds(now) - clock.startTime, std::memory_order_relaxed);
    if (now.tv_sec != clock.lastSecond) {
        log << "fps: " << clock.frames << std::endl;
        clock.lastSecond = now.tv_sec;
        clock.frames = 0.0f;
    }
}
