// SDL output: one device, opened paused, unpaused while a source plays.
#include "sound/sdl_output.h"

#include "sound/latency.h"

#include <cstring>
#include <string_view>

namespace {

// ---- Local helpers ---------------------------------------------------------

// Seconds of audio the driver keeps queued ahead of the buffer SDL's audio
// thread takes. SDL's ALSA driver asks for two periods of one buffer each
// and writes in blocking mode, so when it takes the next buffer the ring is
// full; the dummy and disk drivers consume a buffer when they take it.
double DriverQueueSeconds(std::string_view driver, int frames, int rate) {
    if (driver == "alsa") return 2.0 * frames / rate;
    return 0;
}

}  // namespace

// ---- Public functions ------------------------------------------------------

bool cSdlOutput::Open(int rate, int bufferFrames) {
    Close();
    // The hint at override priority wins over the environment variable.
    if (silent) SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
    const bool started = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    if (silent) SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    if (!started) return false;
    SDL_AudioSpec want;
    SDL_zero(want);
    want.freq = rate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = Uint16(bufferFrames);
    want.callback = &cSdlOutput::Callback;
    want.userdata = this;
    SDL_AudioSpec have;
    // No changes allowed: SDL converts to whatever the device wants, and the
    // callback always sees this format and buffer size.
    device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        EndOutputLatency();
        return false;
    }
    frames = have.samples;
    const char* driver = SDL_GetCurrentAudioDriver();
    BeginOutputLatency(driver ? driver : "sdl");
    queued = DriverQueueSeconds(driver ? driver : "", frames, have.freq);
    return true;
}

void cSdlOutput::Play(cAudioSource* newSource) {
    if (!device) return;
    SDL_LockAudioDevice(device);
    source = newSource;
    SDL_UnlockAudioDevice(device);
    SDL_PauseAudioDevice(device, 0);
}

void cSdlOutput::Stop() {
    if (!device) return;
    SDL_PauseAudioDevice(device, 1);
    // SDL calls back under the device lock: once we hold it, no Fill runs.
    SDL_LockAudioDevice(device);
    source = nullptr;
    SDL_UnlockAudioDevice(device);
}

void cSdlOutput::Close() {
    if (!device) return;
    SDL_CloseAudioDevice(device);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    device = 0;
    source = nullptr;
    EndOutputLatency();
}

// ---- SDL's audio thread ----------------------------------------------------

void SDLCALL cSdlOutput::Callback(void* self, Uint8* stream, int bytes) {
    cSdlOutput* output = static_cast<cSdlOutput*>(self);
    const int count = bytes / int(2 * sizeof(int16_t));
    if (!output->source) {
        std::memset(stream, 0, size_t(bytes));
        return;
    }
    output->source->Fill(reinterpret_cast<int16_t*>(stream), count);
    // SDL takes the buffer as this returns.
    ReportOutputLatency(output->queued, 0);
    const std::chrono::duration<double> latency(SoundOutputLatency().Total());
    output->source->Heard(cSoundClock::now() + std::chrono::duration_cast<cSoundClock::duration>(latency));
}
