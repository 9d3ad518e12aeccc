// The calls of sound.h that need no output: the API level, the last error,
// and the calls on a loaded module (its callbacks, its order, freeing it).
// Offline playback (offline.h) uses them without a device; the output's side
// of the layer (sound_api.cpp) opens the device and plays modules on it.
#include "sound/sound.h"

#include "sound/module.h"

#include <atomic>

// ---- Module state ----------------------------------------------------------

namespace {

constexpr float kApiVersion = 3.6f;

std::atomic<int> gLastError{SOUND_ERR_NONE};
// Installed by the output when it opens; the thread that makes the control
// calls only. Null while no output was ever opened: then nothing plays.
cSongStopper gStopper = nullptr;

}  // namespace

// ---- Public functions ------------------------------------------------------

void RecordSoundError(int code) { gLastError.store(code, std::memory_order_relaxed); }

void SetSongStopper(cSongStopper stopper) { gStopper = stopper; }

extern "C" {

float FSOUND_GetVersion(void) { return kApiVersion; }

int FSOUND_GetError(void) { return gLastError.load(std::memory_order_relaxed); }

signed char FMUSIC_SetInstCallback(FMUSIC_MODULE* module, FMUSIC_CALLBACK callback, int instrument) {
    if (!module || instrument < 1 || instrument > module->renderer.InstrumentCount()) {
        RecordSoundError(SOUND_ERR_INVALID_PARAM);
        return 0;
    }
    module->callbacks[instrument].store(callback, std::memory_order_release);
    return 1;
}

int FMUSIC_GetOrder(FMUSIC_MODULE* module) {
    if (!module) {
        RecordSoundError(SOUND_ERR_INVALID_PARAM);
        return -1;
    }
    return module->order.load(std::memory_order_relaxed);
}

signed char FMUSIC_FreeSong(FMUSIC_MODULE* module) {
    if (!module) {
        RecordSoundError(SOUND_ERR_INVALID_PARAM);
        return 0;
    }
    // A module the output plays is stopped first: its thread and its
    // dispatcher must not run on freed memory.
    if (gStopper) gStopper(module);
    delete module;
    return 1;
}

}  // extern "C"
