// SDL output: the default audio device through SDL2's audio subsystem
// (SDL_INIT_AUDIO only), 16-bit stereo, filled by a source from SDL's audio
// thread.
//
// SDL_AUDIODRIVER chooses the driver as SDL documents it ("dummy" and "disk"
// consume the output at real-time pace without a sound card).
#pragma once

#include <SDL.h>

#include <cstdint>

// What the output plays: called on SDL's audio thread for each buffer.
class cAudioSource {
public:
    virtual ~cAudioSource() = default;
    // Fills out with `frames` stereo frames; the output takes them when this returns.
    virtual void Fill(int16_t* out, int frames) = 0;
};

class cSdlOutput {
public:
    ~cSdlOutput() { Close(); }
    // Opens the default output at rate Hz with buffers of `frames` frames,
    // playing silence; false when no output can be opened. A silent output
    // is SDL's "dummy" driver, whatever SDL_AUDIODRIVER says: it takes the
    // buffers at real-time pace and plays nothing.
    bool Open(int rate, int frames, bool silent = false);
    bool IsOpen() const { return device != 0; }
    // Plays source from the next buffer on, instead of silence.
    void Play(cAudioSource* source);
    // Back to silence. When this returns the source is not running and will
    // not be called again.
    void Stop();
    void Close();
    int BufferFrames() const { return frames; }

private:
    static void SDLCALL Callback(void* self, Uint8* stream, int bytes);

    SDL_AudioDeviceID device = 0;
    int frames = 0;
    cAudioSource* source = nullptr;  // changed only under the device lock
};
