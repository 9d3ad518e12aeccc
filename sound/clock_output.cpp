// Clock output: one thread, woken a buffer ahead of each buffer's time.
#include "sound/clock_output.h"

#include <algorithm>
#include <chrono>

namespace {

// ---- Constants -------------------------------------------------------------

// A start further back than this (the server was missed for long) is not
// caught up: the song goes on from now.
constexpr std::chrono::seconds kMaxCatchUp{1};

}  // namespace

// ---- Public functions ------------------------------------------------------

void cClockOutput::Play(cAudioSource* source, int rate, int frames, cSoundClock::time_point from) {
    Stop();
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = false;
    }
    buffer.assign(size_t(frames) * 2, 0);
    const cSoundClock::time_point first = std::max(from, cSoundClock::now() - kMaxCatchUp);
    thread = std::thread(&cClockOutput::Run, this, source, rate, frames, first);
}

void cClockOutput::Stop() {
    if (!thread.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    wake.notify_one();
    thread.join();
}

// ---- The clock's thread ----------------------------------------------------

// Buffer k is heard at from + k buffers; it is filled a buffer earlier, so
// that the events at its start are handed on before they are due.
void cClockOutput::Run(cAudioSource* source, int rate, int frames, cSoundClock::time_point from) {
    const auto at = [&](int64_t k) {
        return from + std::chrono::duration_cast<cSoundClock::duration>(
                          std::chrono::duration<double>(double(k) * frames / rate));
    };
    for (int64_t k = 0;; ++k) {
        {
            std::unique_lock<std::mutex> lock(mutex);
            if (wake.wait_until(lock, at(k - 1), [this] { return stopping; })) return;
        }
        source->Fill(buffer.data(), frames);
        source->Heard(at(k));
    }
}
