// The calls of sound.h that need the output, on top of the renderer, the
// outputs and the audible dispatcher; the calls that need none are in
// song_api.cpp.
//
// One output, opened by FSOUND_Init, plays one module at a time: our own
// stream on a Pulse server when one answers (and SDL_AUDIODRIVER asks for
// nothing else), SDL's audio otherwise. A playing module renders on the
// output's thread and reports each buffer it hands over, with the time it
// will be heard, to its dispatcher, whose thread runs the instrument
// callbacks and moves the order that FMUSIC_GetOrder reads at that time.
#include "sound/sound.h"

#include "sound/module.h"
#include "sound/sdl_output.h"
#if VK_HAVE_PULSE
#include "sound/pulse_output.h"
#endif

#include <cstdlib>
#include <new>
#include <string_view>

// ---- Constants -------------------------------------------------------------

namespace {

// Device buffer: the largest power of two not above 25 ms of the mixing rate
// (512 frames = 23.2 ms at 22050 Hz). Callbacks and orders are timed inside a
// buffer, so its size costs no sync accuracy; a larger one would only add
// render-to-output latency, a smaller one more wake-ups of the audio thread.
constexpr double kBufferSeconds = 0.025;

}  // namespace

// ---- Module state ----------------------------------------------------------

namespace {

cSdlOutput gSdlOutput;
#if VK_HAVE_PULSE
cPulseOutput gPulseOutput;
#endif
cAudioOutput* gOutput = nullptr;  // the open one, or null
bool gSilentOutput = false;  // chosen by FSOUND_SetOutput
int gMixRate = 0;
FMUSIC_MODULE* gPlaying = nullptr;  // the thread that makes the control calls only

// ---- Local helpers ---------------------------------------------------------

// Records code as the last error; returns the failure value given.
template <typename T>
T Fail(int code, T result) {
    RecordSoundError(code);
    return result;
}

int BufferFramesFor(int rate) {
    int frames = 64;
    while (frames * 2 <= rate * kBufferSeconds) frames *= 2;
    return frames;
}

// Opens the Pulse output where a server answers and SDL is not told to use
// another driver, else SDL's; null when neither opens. The silent output is
// SDL's dummy driver, whatever a server or SDL_AUDIODRIVER would choose.
cAudioOutput* OpenOutput(int rate, int frames) {
    gSdlOutput.SetSilent(gSilentOutput);
    if (gSilentOutput) return gSdlOutput.Open(rate, frames) ? &gSdlOutput : nullptr;
#if VK_HAVE_PULSE
    const char* driver = std::getenv("SDL_AUDIODRIVER");
    const std::string_view wanted = driver ? driver : "";
    if ((wanted.empty() || wanted == "pulseaudio" || wanted == "pulse") && gPulseOutput.Open(rate, frames))
        return &gPulseOutput;
#endif
    return gSdlOutput.Open(rate, frames) ? &gSdlOutput : nullptr;
}

void StopPlaying() {
    if (!gPlaying) return;
    gOutput->Stop();
    gPlaying->dispatcher.Stop();
    gPlaying = nullptr;
}

// FMUSIC_FreeSong's stop: the module, if it is the one playing.
void StopBeforeFree(FMUSIC_MODULE* module) {
    if (module == gPlaying) StopPlaying();
}

}  // namespace

// ---- Public functions ------------------------------------------------------

extern "C" {

signed char FSOUND_Init(int mixrate, int maxsoftwarechannels, unsigned int flags) {
    (void)flags;  // output options of other systems; nothing to choose here
    if (gOutput) return Fail(SOUND_ERR_BUSY, 0);
    if (mixrate < XMP_MIN_SRATE || mixrate > 48000 || maxsoftwarechannels < 1)
        return Fail(SOUND_ERR_INVALID_PARAM, 0);
    gOutput = OpenOutput(mixrate, BufferFramesFor(mixrate));
    if (!gOutput) return Fail(SOUND_ERR_INIT, 0);
    gMixRate = mixrate;
    SetSongStopper(StopBeforeFree);
    return 1;
}

void FSOUND_Close(void) {
    if (!gOutput) return;
    StopPlaying();
    gOutput->Close();
    gOutput = nullptr;
}

signed char FSOUND_SetOutput(int output) {
    if (gOutput) return Fail(SOUND_ERR_BUSY, 0);
    if (output != SOUND_OUTPUT_DEVICE && output != SOUND_OUTPUT_SILENT) return Fail(SOUND_ERR_INVALID_PARAM, 0);
    gSilentOutput = output == SOUND_OUTPUT_SILENT;
    return 1;
}

FMUSIC_MODULE* FMUSIC_LoadSong(const char* name) {
    if (!name) return Fail<FMUSIC_MODULE*>(SOUND_ERR_INVALID_PARAM, nullptr);
    if (!gOutput) return Fail<FMUSIC_MODULE*>(SOUND_ERR_UNINITIALIZED, nullptr);
    FMUSIC_MODULE* module = new (std::nothrow) FMUSIC_MODULE;
    if (!module) return Fail<FMUSIC_MODULE*>(SOUND_ERR_MEMORY, nullptr);
    const int error = module->renderer.LoadFile(name);
    if (error) {
        delete module;
        return Fail<FMUSIC_MODULE*>(error, nullptr);
    }
    return module;
}

signed char FMUSIC_PlaySong(FMUSIC_MODULE* module) {
    if (!module) return Fail(SOUND_ERR_INVALID_PARAM, 0);
    if (!gOutput) return Fail(SOUND_ERR_UNINITIALIZED, 0);
    StopPlaying();
    if (!module->renderer.Start(gMixRate)) return Fail(SOUND_ERR_PLAY, 0);
    module->order.store(0, std::memory_order_relaxed);
    module->dispatcher.Start(gMixRate);
    gOutput->Play(module);
    gPlaying = module;
    return 1;
}

signed char FMUSIC_StopSong(FMUSIC_MODULE* module) {
    if (!module) return Fail(SOUND_ERR_INVALID_PARAM, 0);
    if (module->dispatcher.OnOwnThread()) {
        // From the module's own callback: silence it now; the next control
        // call on the main thread finishes the stop.
        gOutput->Stop();  // its dispatcher runs, so an output is open
        module->dispatcher.Stop();
    } else if (module == gPlaying) {
        StopPlaying();
    }
    return 1;
}

}  // extern "C"
