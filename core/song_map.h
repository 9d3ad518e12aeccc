// The song's map: its events from its start, rendered offline at the rate
// the song plays at, as far as they are asked for. It tells where each order
// starts and what happened before any point of the song, for jumps.
//
// The song loops at its end as it does when played, so the map goes on past
// the first pass when asked to.
#pragma once

#include "sound/sound.h"
#include "sound/sound_event.h"

#include <cstdint>
#include <vector>

class cSongMap {
public:
    cSongMap() = default;
    ~cSongMap();
    cSongMap(const cSongMap&) = delete;
    cSongMap& operator=(const cSongMap&) = delete;

    // Loads the module to map it at rate Hz; false with the sound layer's
    // last error set.
    bool Load(const char* file, int rate);
    int Rate() const { return rate; }

    // Every event stamped at or before frame, in order (maybe some after it).
    const std::vector<cSoundEvent>& EventsThrough(int64_t frame);
    // The first frame of the order playing at frame.
    int64_t OrderStart(int64_t frame);
    // The first frame of the order after the one playing at frame; -1 when
    // none begins within an hour of music.
    int64_t NextOrderStart(int64_t frame);
    // The first frame of the order before the one playing at frame; 0 in
    // the first.
    int64_t PreviousOrderStart(int64_t frame);

private:
    // Renders on until frame has been rendered; false when the map stops
    // short of it (the hour is up).
    bool RenderThrough(int64_t frame);
    // Index of the last order change at or before frame, -1 before any.
    int OrderChangeAt(int64_t frame);

    FMUSIC_MODULE* song = nullptr;
    int rate = 0;
    int64_t rendered = 0;  // frames rendered so far
    std::vector<cSoundEvent> events;
    std::vector<int64_t> orderStarts;  // frames of the order changes among events
};
