// Progress of a long render on the terminal: a bar, frames done, frames per
// second and the time left, redrawn in place on standard error a few times
// a second. Silent when standard error is not a terminal (logs, CI, pipes).
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

class cProgressBar {
public:
    // A bar for total frames; shown only when out is a terminal (or forced).
    explicit cProgressBar(int64_t total, FILE* out = stderr, bool force = false);
    // Reports done frames; redraws when a moment has passed since the last time.
    void Update(int64_t done);
    // Draws the final state and ends the line.
    void Finish(int64_t done);

    // The line for done of total frames after seconds of work (no carriage return).
    static std::string Line(int64_t done, int64_t total, double seconds);

private:
    void Draw(int64_t done);
    int64_t total;
    FILE* out;
    bool shown;
    std::chrono::steady_clock::time_point started, lastDrawn;
};
