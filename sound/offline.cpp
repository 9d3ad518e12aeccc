// Offline playback on the module record, without the output or dispatcher.
#include "sound/offline.h"

#include "sound/module.h"

#include <new>

// ---- Public functions ------------------------------------------------------

FMUSIC_MODULE* LoadOfflineSong(const char* name, int rate) {
    if (!name || rate < XMP_MIN_SRATE || rate > 48000) {
        RecordSoundError(SOUND_ERR_INVALID_PARAM);
        return nullptr;
    }
    FMUSIC_MODULE* module = new (std::nothrow) FMUSIC_MODULE;
    if (!module) {
        RecordSoundError(SOUND_ERR_MEMORY);
        return nullptr;
    }
    int error = module->renderer.LoadFile(name);
    if (!error && !module->renderer.Start(rate)) error = SOUND_ERR_PLAY;
    if (error) {
        delete module;
        RecordSoundError(error);
        return nullptr;
    }
    return module;
}

void RenderOfflineSong(FMUSIC_MODULE* module, int16_t* out, int frames, std::vector<cSoundEvent>& events) {
    module->renderer.Render(out, frames, events);
}

void ReleaseSongEvent(FMUSIC_MODULE* module, const cSoundEvent& event) { module->Release(event); }

int64_t FirstPassEnd(const FMUSIC_MODULE* module) { return module->renderer.FirstPassEnd(); }
