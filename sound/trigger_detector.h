// Trigger detection: which notes start on a tick libxmp has just played.
//
// "An instrument is played" when a note starts sounding with it on a
// channel, whether the row names the instrument or the channel carries it
// from an earlier row: one trigger per started note. A note delay (EDx)
// triggers at tick x, and never when x is not below the speed. Key-off, an
// instrument number without a note and tone portamento (3xx, 5xy, the volume
// column's Mx) start no note. Retrigger (E9x) restarts a sounding note and is
// not a new one.
//
// Fed once per tick, in playing order, with libxmp's frame info for that
// tick: the row's event repeats on every tick of its row, so the detector
// reads it on tick 0 and decides on each tick whether its note starts now.
#pragma once

#include "sound/sound_event.h"

#include <xmp.h>

#include <vector>

class cTriggerDetector {
public:
    // Forgets everything before a new start of playback.
    void Reset();
    // Appends the order change (if the tick begins another order) and the
    // note starts of the tick described by info; sample is its first frame.
    void OnTick(const xmp_frame_info& info, int channels, int64_t sample, std::vector<cSoundEvent>& events);

private:
    // The current row's note on one channel, as read on its tick 0.
    struct cPendingNote {
        bool starts = false;  // a note that starts (not key-off, not portamento)
        int tick = 0;         // the tick it starts on (note delay)
    };
    int order = -1;
    cPendingNote pending[XMP_MAX_CHANNELS];
};
