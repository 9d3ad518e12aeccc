// Output probe: when the sound layer's output hands each buffer over, and
// when that buffer is heard.
//
// A program that links output_probe.cpp gets its own SDL_OpenAudioDevice,
// which puts a timer in front of the layer's audio callback and forwards to
// SDL's, and (with libpulse) its own pa_stream_write, which forwards to
// libpulse's. Buffer k of the output is timed when it is handed over: when
// SDL's callback returns, which is when the driver takes it (the dummy and
// disk drivers then consume it at the mixing rate, so it is heard then), or
// when the layer writes it to its Pulse stream, where it is heard when the
// server's timing reports for the stream say: the probe counts the stream's
// frames itself and takes the reports that come after the write (which
// frame the sink read at which moment, and the sink's latency). So the
// moment the output plays any frame is known independently of the layer's
// own bookkeeping, which follows libpulse's smoothed playback time.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace outputprobe {

using cClock = std::chrono::steady_clock;

// Buffers taken since the program started: read it before FMUSIC_PlaySong
// to number the song's first buffer.
size_t TakenCount();
// The first buffer from number `first` on that holds a sound: the song's
// first buffer when the output plays silence until the song starts (the
// Pulse output does) and the song sounds from its first frame.
size_t FirstSounding(size_t first);
// When the output plays frame `frame` of a song whose first buffer was
// number `first`: the time its buffer is heard plus the frame's offset at
// `rate`; time_point::max() when that buffer has not been taken yet or too
// few reports have come after it (a Pulse buffer needs three, one for each
// of the next buffers).
cClock::time_point Consumed(int64_t frame, size_t first, int rate);
// Seconds from handing buffer k over to hearing it: 0 for SDL's drivers,
// the server's reported latency for a Pulse buffer, -1 when not known.
double ReportedLatency(size_t k);
int BufferFrames();

}  // namespace outputprobe
