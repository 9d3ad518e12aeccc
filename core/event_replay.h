// Releasing a song's stamped events in order as a clock reaches them, as
// the live output releases them when they are heard: for music that is not
// heard as it is drawn (the capture's frames, and the frames the demo
// catches up on after a jump).
//
// An order change moves the order FMUSIC_GetOrder reports; a trigger runs
// the instrument's callback. The beat callback reads the song time as the
// beat time, so the song time is set to a trigger's exact time first.
#pragma once

#include "sound/sound.h"
#include "sound/sound_event.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class cEventReplay {
public:
    // Nothing released yet.
    void Reset() { released = 0; }
    // Releases to song the events not released yet that are stamped at or
    // before frame `last` (events in stamp order, frames at rate Hz).
    void ReleaseThrough(FMUSIC_MODULE* song, const std::vector<cSoundEvent>& events, int64_t last, int rate);

private:
    size_t released = 0;  // events[0 .. released) are out
};
