// The C calls of sound.h on top of the renderer, the SDL output and the
// audible dispatcher.
//
// One output, opened by FSOUND_Init, plays one module at a time. A playing
// module renders on SDL's audio thread and reports each buffer it hands over
// to its dispatcher, whose thread runs the instrument callbacks and moves
// the order that FMUSIC_GetOrder reads when the output reaches them.
#include "sound/sound.h"

#include "sound/module.h"

#include <atomic>
#include <new>

// ---- Constants -------------------------------------------------------------

namespace {

constexpr float kApiVersion = 3.6f;
// Device buffer: the largest power of two not above 25 ms of the mixing rate
// (512 frames = 23.2 ms at 22050 Hz). Callbacks and orders are timed inside a
// buffer, so its size costs no sync accuracy; a larger one would only add
// render-to-output latency, a smaller one more wake-ups of the audio thread.
constexpr double kBufferSeconds = 0.025;

}  // namespace

// ---- Module state ----------------------------------------------------------

namespace {

std::atomic<int> gLastError{SOUND_ERR_NONE};
cSdlOutput gOutput;
int gMixRate = 0;
bool gSilentOutput = false;  // chosen by FSOUND_SetOutput
FMUSIC_MODULE* gPlaying = nullptr;  // the thread that makes the control calls only

// ---- Local helpers ---------------------------------------------------------

// Records code as the last error; returns the failure value given.
template <typename T>
T Fail(int code, T result) {
    gLastError.store(code, std::memory_order_relaxed);
    return result;
}

int BufferFramesFor(int rate) {
    int frames = 64;
    while (frames * 2 <= rate * kBufferSeconds) frames *= 2;
    return frames;
}

void StopPlaying() {
    if (!gPlaying) return;
    gOutput.Stop();
    gPlaying->dispatcher.Stop();
    gPlaying = nullptr;
}

}  // namespace

// ---- Public functions ------------------------------------------------------

void RecordSoundError(int code) { gLastError.store(code, std::memory_order_relaxed); }

extern "C" {

float FSOUND_GetVersion(void) { return kApiVersion; }

signed char FSOUND_Init(int mixrate, int maxsoftwarechannels, unsigned int flags) {
    (void)flags;  // output options of other systems; nothing to choose here
    if (gOutput.IsOpen()) return Fail(SOUND_ERR_BUSY, 0);
    if (mixrate < XMP_MIN_SRATE || mixrate > 48000 || maxsoftwarechannels < 1)
        return Fail(SOUND_ERR_INVALID_PARAM, 0);
    if (!gOutput.Open(mixrate, BufferFramesFor(mixrate), gSilentOutput)) return Fail(SOUND_ERR_INIT, 0);
    gMixRate = mixrate;
    return 1;
}

signed char FSOUND_SetOutput(int output) {
    if (gOutput.IsOpen()) return Fail(SOUND_ERR_BUSY, 0);
    if (output != SOUND_OUTPUT_DEVICE && output != SOUND_OUTPUT_SILENT) return Fail(SOUND_ERR_INVALID_PARAM, 0);
    gSilentOutput = output == SOUND_OUTPUT_SILENT;
    return 1;
}

int FSOUND_GetError(void) { return gLastError.load(std::memory_order_relaxed); }

FMUSIC_MODULE* FMUSIC_LoadSong(const char* name) {
    if (!name) return Fail<FMUSIC_MODULE*>(SOUND_ERR_INVALID_PARAM, nullptr);
    if (!gOutput.IsOpen()) return Fail<FMUSIC_MODULE*>(SOUND_ERR_UNINITIALIZED, nullptr);
    FMUSIC_MODULE* module = new (std::nothrow) FMUSIC_MODULE;
    if (!module) return Fail<FMUSIC_MODULE*>(SOUND_ERR_MEMORY, nullptr);
    const int error = module->renderer.LoadFile(name);
    if (error) {
        delete module;
        return Fail<FMUSIC_MODULE*>(error, nullptr);
    }
    return module;
}

signed char FMUSIC_SetInstCallback(FMUSIC_MODULE* module, FMUSIC_CALLBACK callback, int instrument) {
    if (!module || instrument < 1 || instrument > module->renderer.InstrumentCount())
        return Fail(SOUND_ERR_INVALID_PARAM, 0);
    module->callbacks[instrument].store(callback, std::memory_order_release);
    return 1;
}

signed char FMUSIC_PlaySong(FMUSIC_MODULE* module) {
    if (!module) return Fail(SOUND_ERR_INVALID_PARAM, 0);
    if (!gOutput.IsOpen()) return Fail(SOUND_ERR_UNINITIALIZED, 0);
    StopPlaying();
    if (!module->renderer.Start(gMixRate)) return Fail(SOUND_ERR_PLAY, 0);
    module->order.store(0, std::memory_order_relaxed);
    module->dispatcher.Start(gMixRate);
    gOutput.Play(module);
    gPlaying = module;
    return 1;
}

int FMUSIC_GetOrder(FMUSIC_MODULE* module) {
    if (!module) return Fail(SOUND_ERR_INVALID_PARAM, -1);
    return module->order.load(std::memory_order_relaxed);
}

signed char FMUSIC_StopSong(FMUSIC_MODULE* module) {
    if (!module) return Fail(SOUND_ERR_INVALID_PARAM, 0);
    if (module->dispatcher.OnOwnThread()) {
        // From the module's own callback: silence it now; the next control
        // call on the main thread finishes the stop.
        gOutput.Stop();
        module->dispatcher.Stop();
    } else if (module == gPlaying) {
        StopPlaying();
    }
    return 1;
}

signed char FMUSIC_FreeSong(FMUSIC_MODULE* module) {
    if (!module) return Fail(SOUND_ERR_INVALID_PARAM, 0);
    if (module == gPlaying) StopPlaying();
    delete module;
    return 1;
}

}  // extern "C"
