// What the rendered music does at a sample: an instrument starts a note, or
// the song moves to another order. Stamped with the stereo frame, counted
// from the start of playback, at which it is heard first.
#pragma once

#include <chrono>
#include <cstdint>

// The clock every output time and release time of the layer is read from.
using cSoundClock = std::chrono::steady_clock;

struct cSoundEvent {
    enum class cKind : uint8_t { kTrigger, kOrder };
    cKind kind = cKind::kTrigger;
    int64_t sample = 0;  // first frame of the tick that starts it
    int order = 0;       // position in the order table
    int row = 0;         // row of the pattern
    int channel = 0;     // kTrigger: the channel that plays the note
    int instrument = 0;  // kTrigger: 1-based instrument number
};
