// Output probe: when the sound layer's output hands each buffer to SDL.
//
// A program that links output_probe.cpp gets its own SDL_OpenAudioDevice,
// which puts a timer in front of the layer's audio callback and forwards to
// SDL's. Buffer k of the output is timed when its callback returns, which is
// when the driver takes it; the dummy and disk drivers then consume it at
// the mixing rate. So the moment the output consumes any frame is known
// independently of the layer's own bookkeeping.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace outputprobe {

using cClock = std::chrono::steady_clock;

// Buffers taken since the device was opened: read it before FMUSIC_PlaySong
// to number the song's first buffer.
size_t TakenCount();
// When the output consumed frame `frame` of a song whose first buffer was
// number `first`: the time its buffer was taken plus its offset at `rate`;
// time_point::max() when that buffer has not been taken yet.
cClock::time_point Consumed(int64_t frame, size_t first, int rate);
int BufferFrames();

}  // namespace outputprobe
