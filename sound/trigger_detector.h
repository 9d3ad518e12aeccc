// Trigger detection: which notes start a sample on a tick libxmp has just
// played.
//
// "An instrument is played" when a note starts one of its samples on a
// channel, whether the row names the instrument or the channel carries it
// from an earlier row: one trigger per started sample. A note delay (EDx)
// triggers at tick x, and never when x is not below the speed. Key-off, an
// instrument number without a note, tone portamento (3xx, 5xy, the volume
// column's Mx) and a key-off at tick 0 (K00) next to a note start none.
// Retrigger (E9x) restarts a sounding note and is not a new one. A note
// starts nothing either when the instrument it plays has no sample for it:
// an instrument number above the module's count or one without samples (also
// when a later note without an instrument column carries it), a note mapped
// to no sample or to an empty one, or a note that the sample's transpose
// takes out of the playable range. libxmp then silences the channel or
// carries on with what it was playing; no sample of the note's instrument
// starts.
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
    // Forgets everything before a new start of playback of module, which
    // must stay loaded while ticks of it are fed.
    void Reset(const xmp_module* module);
    // Appends the order change (if the tick begins another order) and the
    // note starts of the tick described by info; sample is its first frame.
    void OnTick(const xmp_frame_info& info, int channels, int64_t sample, std::vector<cSoundEvent>& events);

private:
    // The current row's note on one channel, as read on its tick 0.
    struct cPendingNote {
        bool starts = false;  // a note that may start a sample (see SampleStarts)
        int tick = 0;         // the tick it starts on (note delay)
        int key = 0;          // libxmp's key of the note (0-based)
    };
    // True when key on the 0-based instrument starts a sample in libxmp.
    bool SampleStarts(int instrument, int key) const;
    // True for a 0-based instrument of the module that has samples.
    bool HasSamples(int instrument) const;

    const xmp_module* module = nullptr;
    int order = -1;
    cPendingNote pending[XMP_MAX_CHANNELS];
    // The instrument number the channel's rows named last (1-based, 0 =
    // none yet), valid or not: a note without an instrument column plays
    // nothing after an invalid one, as in libxmp.
    int named[XMP_MAX_CHANNELS] = {};
};
