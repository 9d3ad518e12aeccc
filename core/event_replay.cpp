// cEventReplay: stamped events released in order, with exact beat times.
#include "core/event_replay.h"

#include "base/beat.h"
#include "sound/offline.h"

// Release what is due by frame last
void cEventReplay::ReleaseThrough(FMUSIC_MODULE* song, const std::vector<cSoundEvent>& events, int64_t last,
                                  int rate) {
    for (; released < events.size() && events[released].sample <= last; ++released) {
        const cSoundEvent& e = events[released];
        if (e.kind == cSoundEvent::cKind::kTrigger)
            gSongTime.store(double(e.sample) / rate, std::memory_order_relaxed);
        ReleaseSongEvent(song, e);
    }
}
