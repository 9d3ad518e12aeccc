// Renderer: a module turned into 16-bit stereo PCM with the sample-exact
// positions of its instrument triggers and order changes.
//
// libxmp plays the module one tick at a time; every tick is checked for
// note starts (cTriggerDetector) and stamped with its first frame, and the
// frames of a tick that do not fit the caller's buffer are kept for the next
// call. So the PCM and the events do not depend on how the caller slices the
// output: the SDL output asks for one device buffer at a time, an offline
// capture for the frames of one video frame at a time. The song loops at its
// end from its restart position, as trackers play it.
//
// Needs no audio device. Not thread-safe: one thread renders at a time.
#pragma once

#include "sound/sound_event.h"
#include "sound/trigger_detector.h"

#include <xmp.h>

#include <cstddef>
#include <cstdint>
#include <vector>

class cRenderer {
public:
    cRenderer();
    ~cRenderer();
    cRenderer(const cRenderer&) = delete;
    cRenderer& operator=(const cRenderer&) = delete;

    // Loads a module file; a SOUND_ERR_* code (SOUND_ERR_NONE on success).
    int LoadFile(const char* name);
    // Loads a module image from memory; a SOUND_ERR_* code.
    int LoadMemory(const void* data, size_t size);
    bool Loaded() const { return loaded; }
    int InstrumentCount() const { return instruments; }
    int ChannelCount() const { return channels; }

    // Starts (or restarts) playback at the first order, mixing at rate Hz
    // (4000..48000); false when nothing is loaded or the rate is refused.
    bool Start(int rate);
    // Fills out with the next `frames` stereo frames (2 * frames values,
    // left first) and appends the events that start in them, in order.
    void Render(int16_t* out, int frames, std::vector<cSoundEvent>& events);
    // Renders the next `frames` frames unheard and appends their events, as
    // Render would. When that ends where a tick begins, that tick is played
    // too (its frames wait for the next Render), so every event stamped at
    // or before Position() is then in events: a song skipped to a frame has
    // had everything happen that happens there.
    void Skip(int64_t frames, std::vector<cSoundEvent>& events);
    // Frames rendered since Start: the stamp the next frame will carry.
    int64_t Position() const { return position; }
    // First frame of the song's second pass (where it has looped back to its
    // restart position), or -1 while the first pass has not been rendered
    // to its end. Tells an offline capture how long the song is.
    int64_t FirstPassEnd() const { return firstPassEnd; }
    int Rate() const { return rate; }

private:
    // Plays the next tick into leftover and appends its events; false when
    // there is none (not started, or libxmp has stopped).
    bool NextTick(std::vector<cSoundEvent>& events);

    xmp_context context;
    bool loaded = false;
    bool started = false;
    const xmp_module* module = nullptr;  // libxmp's, while loaded
    int rate = 0;
    int channels = 0;     // of the loaded module
    int instruments = 0;
    int64_t position = 0;
    int64_t firstPassEnd = -1;
    cTriggerDetector detector;
    // The current tick's frames not handed out yet; they live in libxmp's
    // buffer, which stays valid until the next xmp_play_frame.
    const int16_t* leftover = nullptr;
    int leftoverFrames = 0;
};
