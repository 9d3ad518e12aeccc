// The layer played as the demo plays it, through its C calls, with every
// instrument callback and every order change timed on cSoundClock as a main
// loop at a very high frame rate would see them; for the heard-time tests
// and bench_sound_sync (tests/support/heard_time.h finds when each of them
// was heard).
#pragma once

#include "sound/sound.h"
#include "sound/sound_event.h"
#include "sound/xm_writer.h"

#include <functional>
#include <string>
#include <vector>

struct cPlayRecord {
    cSoundClock::time_point init, play;  // when FSOUND_Init and FMUSIC_PlaySong were called
    std::vector<cSoundClock::time_point> calls;         // instrument callbacks, every instrument
    std::vector<cSoundClock::time_point> orderChanges;  // FMUSIC_GetOrder moving on
};

// (Re)opens the layer at 22050 Hz on the default device; the reason when
// that fails. Stamps record.init.
std::string OpenLayer(cPlayRecord& record);
// Loads module with a callback on each of its instruments that stamps
// record.calls (one record at a time); null on failure.
FMUSIC_MODULE* LoadListened(const cXmModule& module, cPlayRecord& record);
// Plays song for `seconds` from FMUSIC_PlaySong, watching the order every
// 0.2 ms; `during` is called on the way with the seconds played. Stops the
// song afterwards.
void PlayFor(FMUSIC_MODULE* song, double seconds, cPlayRecord& record,
             const std::function<void(double)>& during = nullptr);
