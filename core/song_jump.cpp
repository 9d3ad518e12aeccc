// CatchUpTo: the state at a point of the song, from its events and the
// frames just before it.
#include "core/song_jump.h"

#include "base/beat.h"
#include "core/demo_core.h"
#include "core/event_replay.h"
#include "core/music.h"
#include "timeline/draw_frame.h"
#include "timeline/scene_effects.h"

#include <algorithm>
#include <cmath>

namespace {

// ---- Constants -------------------------------------------------------------

// The frames caught up on before a point: a quarter second at the capture's
// frame rate, enough for every composition to set what it draws with.
constexpr int kLeadInFps = 60;
constexpr int64_t kLeadInFrames = kLeadInFps / 4;

// ---- Local helpers ---------------------------------------------------------

// The order the events leave at frame.
int OrderAt(const std::vector<cSoundEvent>& events, int64_t frame) {
    int order = 0;
    for (const cSoundEvent& e : events) {
        if (e.sample > frame) break;
        if (e.kind == cSoundEvent::cKind::kOrder) order = e.order;
    }
    return order;
}

}  // namespace

// ---- Public functions ------------------------------------------------------

// Set the demo to a point of its song
void CatchUpTo(cSongMap& map, int64_t frame) {
    const int rate = map.Rate();
    const std::vector<cSoundEvent>& events = map.EventsThrough(frame);
    const double t = double(frame) / rate;

    // Lead-in frames [first, end): those at 60 fps before t, a quarter second
    // of them, or all from the song's start when they would begin in the intro.
    const int64_t end = int64_t(std::ceil(t * kLeadInFps));
    int64_t first = std::max<int64_t>(0, end - kLeadInFrames);
    const bool fromStart = first == 0 || OrderAt(events, first * rate / kLeadInFps) <= 0;
    if (fromStart) {
        first = 0;
        RestartEffects();
    }
    ResetCarriedGl(fromStart);

    ResetBeats();
    cEventReplay replay;
    for (int64_t n = first; n < end; ++n) {
        replay.ReleaseThrough(gSong, events, n * rate / kLeadInFps, rate);
        gSongTime.store(double(n) / kLeadInFps, std::memory_order_relaxed);
        DrawUnseenFrame();
    }
    replay.ReleaseThrough(gSong, events, frame, rate);
    gSongTime.store(t, std::memory_order_relaxed);
}
