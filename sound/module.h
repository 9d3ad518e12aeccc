// The record behind an FMUSIC_MODULE handle, shared by the calls on modules
// (song_api.cpp), the output's calls (sound_api.cpp) and offline playback
// (offline.cpp). Private to sound/.
//
// A module renders through its renderer; the events it stamps are released
// when they are heard: an order change moves the order FMUSIC_GetOrder
// reports, a trigger runs the callback installed for its instrument. Live
// playback releases them from the dispatcher's thread as they are heard,
// offline playback from the caller's thread on the caller's clock.
#pragma once

#include "sound/audible_dispatcher.h"
#include "sound/renderer.h"
#include "sound/output.h"
#include "sound/sound.h"

#include <atomic>
#include <vector>

// Instrument numbers an XM module can use (1-based).
constexpr int kMaxInstruments = 255;

// Records code as the last error, which FSOUND_GetError reports.
void RecordSoundError(int code);

// Stops the module if the output plays it (else does nothing), before
// FMUSIC_FreeSong frees it. The output installs it when it opens, so that
// the calls on modules need no device of their own.
using cSongStopper = void (*)(FMUSIC_MODULE* module);
void SetSongStopper(cSongStopper stopper);

struct FMUSIC_MODULE final : cAudioSource {
    FMUSIC_MODULE() : dispatcher([this](const cSoundEvent& e) { Release(e); }) {}

    // The output's thread: render a buffer, then hand its events on with
    // the time the output says it will be heard.
    void Fill(int16_t* out, int frames) override {
        scratch.clear();
        scratchFirst = renderer.Position();
        renderer.Render(out, frames, scratch);
    }
    void Heard(cSoundClock::time_point at) override { dispatcher.Taken(scratchFirst, at, scratch); }

    // The event is heard now: move the order, or run the instrument's callback.
    void Release(const cSoundEvent& e) {
        if (e.kind == cSoundEvent::cKind::kOrder) {
            order.store(e.order, std::memory_order_relaxed);
            return;
        }
        FMUSIC_CALLBACK callback = callbacks[e.instrument].load(std::memory_order_acquire);
        if (callback) callback(this, static_cast<unsigned char>(e.instrument));
    }

    cRenderer renderer;
    cAudibleDispatcher dispatcher;
    std::vector<cSoundEvent> scratch;  // the output's thread only: the last buffer's events
    int64_t scratchFirst = 0;          // and its first frame
    std::atomic<int> order{0};
    std::atomic<FMUSIC_CALLBACK> callbacks[kMaxInstruments + 1] = {};
};
