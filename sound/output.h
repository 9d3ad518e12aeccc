// Audio output: what plays a source's buffers, and the source's side of it.
//
// An output calls its source for one buffer at a time and then tells it when
// that buffer's first frame will be heard: the moment the output takes it,
// plus the output latency it has learned (sound/latency.h). Outputs: our own
// stream on a PipeWire server (pipewire_output.h) or on a Pulse sound server
// (pulse_output.h), SDL2's audio subsystem for everything else
// (sdl_output.h), and the system clock when a server has gone
// (clock_output.h, surviving_output.h).
#pragma once

#include "sound/sound_event.h"

#include <cstdint>

// What the output plays: called on the output's thread for each buffer.
class cAudioSource {
public:
    virtual ~cAudioSource() = default;
    // Fills out with `frames` stereo frames; the output takes them next.
    virtual void Fill(int16_t* out, int frames) = 0;
    // The buffer just filled starts to be heard at `at`.
    virtual void Heard(cSoundClock::time_point at) = 0;
};

class cAudioOutput {
public:
    virtual ~cAudioOutput() = default;
    // Opens the output at rate Hz, 16-bit stereo, in buffers of `frames`
    // frames, playing silence; false when it cannot be opened.
    virtual bool Open(int rate, int frames) = 0;
    virtual bool IsOpen() const = 0;
    // Plays source from the next buffer on, instead of silence.
    virtual void Play(cAudioSource* source) = 0;
    // Back to silence. When this returns the source is not running and will
    // not be called again.
    virtual void Stop() = 0;
    virtual void Close() = 0;
    // True once the output's sound server has gone (killed, restarted, a
    // broken connection): the output no longer takes buffers. Any thread.
    virtual bool Lost() const { return false; }
};
