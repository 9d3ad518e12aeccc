// Listening: a module made to be recognised by ear, its offline render, and
// the layer playing it through its C calls as the demo does, with every
// instrument callback and order change timed on cSoundClock as a main loop
// at a very high frame rate would see them. sound/heard_meter.h finds when
// each of them was heard.
//
//   cXmModule module = ListeningModule(4);
//   cPlayRecord record;
//   OpenLayer(record);  FMUSIC_MODULE* song = LoadListened(module, record);
//   PlayFor(song, 4, record);
#pragma once

#include "sound/sound.h"
#include "sound/sound_event.h"
#include "sound/xm_writer.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// A module as long as asked: notes of four square-wave instruments of
// different loudness at random pitches on two channels, with random rests
// and delays, so that no stretch of it sounds like another and notes fall at
// every offset of an output buffer. It sounds from its first frame and does
// not loop within `seconds`.
cXmModule ListeningModule(double seconds, unsigned seed = 20);

// A song rendered offline at 22050 Hz, as the layer renders it.
struct cOfflineSong {
    static constexpr int kRate = 22050;
    std::vector<int16_t> pcm;  // stereo
    std::vector<cSoundEvent> events;
    std::vector<int64_t> Frames(cSoundEvent::cKind kind) const;  // order changes: away from order 0 only
};
cOfflineSong RenderOffline(const cXmModule& module, double seconds);

struct cPlayRecord {
    cSoundClock::time_point init, play;  // when FSOUND_Init and FMUSIC_PlaySong were called
    std::vector<cSoundClock::time_point> calls;         // instrument callbacks, every instrument
    std::vector<cSoundClock::time_point> orderChanges;  // FMUSIC_GetOrder moving on
};

// (Re)opens the layer at 22050 Hz on the default device, as the demo opens
// it (SDL_AUDIODRIVER and VK_SOUND_LATENCY_OFFSET_MS apply); the reason
// when that fails. Stamps record.init.
std::string OpenLayer(cPlayRecord& record);
// Loads module with a callback on each of its instruments that stamps
// record.calls (one record at a time); null on failure.
FMUSIC_MODULE* LoadListened(const cXmModule& module, cPlayRecord& record);
// Plays song for `seconds` from FMUSIC_PlaySong, watching the order every
// 0.2 ms; `during` is called on the way with the seconds played. Stops the
// song afterwards.
void PlayFor(FMUSIC_MODULE* song, double seconds, cPlayRecord& record,
             const std::function<void(double)>& during = nullptr);
