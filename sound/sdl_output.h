// SDL output: the default audio device through SDL2's audio subsystem
// (SDL_INIT_AUDIO only), 16-bit stereo, filled by a source from SDL's audio
// thread.
//
// SDL_AUDIODRIVER chooses the driver as SDL documents it ("dummy" and "disk"
// consume the output at real-time pace without a sound card). SDL cannot
// tell how long a buffer waits in the driver; the latency reported for it is
// the driver's known queue (sound/latency.h).
#pragma once

#include "sound/output.h"

#include <SDL.h>

class cSdlOutput final : public cAudioOutput {
public:
    ~cSdlOutput() override { Close(); }
    bool Open(int rate, int frames) override;
    bool IsOpen() const override { return device != 0; }
    void Play(cAudioSource* source) override;
    void Stop() override;
    void Close() override;
    // A silent output is SDL's "dummy" driver, whatever SDL_AUDIODRIVER
    // says: it takes the buffers at real-time pace and plays nothing. Chosen
    // before Open.
    void SetSilent(bool on) { silent = on; }
    int BufferFrames() const { return frames; }

private:
    static void SDLCALL Callback(void* self, Uint8* stream, int bytes);

    SDL_AudioDeviceID device = 0;
    int frames = 0;
    double queued = 0;  // seconds the driver holds ahead of a buffer it takes
    cAudioSource* source = nullptr;  // changed only under the device lock
    bool silent = false;
};
