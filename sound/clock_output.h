// Clock output: plays a source on the system clock, unheard.
//
// When the sound server has gone, the song must keep its time: a thread of
// its own takes one buffer after another at the mixing rate, each reported
// heard when its turn comes, so the order and the instrument callbacks go
// on as if the music were heard. It starts where the song was to be heard
// next, so that the song's time runs on without a jump; a start already
// past is caught up at once.
#pragma once

#include "sound/output.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

class cClockOutput {
public:
    ~cClockOutput() { Stop(); }
    // Starts taking buffers of `frames` frames at `rate` Hz from source, the
    // first heard at `from`. Not while playing.
    void Play(cAudioSource* source, int rate, int frames, cSoundClock::time_point from);
    // When this returns the source is not running and will not be called again.
    void Stop();
    bool Playing() const { return thread.joinable(); }

private:
    void Run(cAudioSource* source, int rate, int frames, cSoundClock::time_point from);

    std::mutex mutex;
    std::condition_variable wake;
    bool stopping = false;
    std::thread thread;
    std::vector<int16_t> buffer;  // the thread's
};
