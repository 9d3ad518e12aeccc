// The song time and the frame-rate counter of the main loop.
#pragma once

#include <sys/time.h>

#include <ctime>
#include <ostream>

struct cFrameClock {
    double startTime = 0.0;   // wall clock in seconds when the song started
    time_t lastSecond = 0;    // whole seconds at the last frame-rate line
    float frames = 0.0f;      // frames since the last frame-rate line
};

// The wall clock now.
timeval WallClock();
// Whole seconds plus microseconds, in seconds.
double Seconds(const timeval& clock);
// Starts counting at the song's start.
void StartClock(cFrameClock& clock, const timeval& now);
// Sets the clock so that the song time is songTime now, and sets it.
void SetSongClock(cFrameClock& clock, const timeval& now, double songTime);
// Counts a finished frame, sets the song time from the wall clock and writes
// "fps: " with the count whenever the wall clock's second has changed.
void CountFrame(cFrameClock& clock, const timeval& now, std::ostream& log);
