// Pulse output: our own playback stream on a PulseAudio server (or on
// PipeWire's Pulse server), through libpulse's threaded main loop, in
// buffers of a fixed size.
//
// We play through libpulse rather than through SDL wherever a Pulse server
// answers, because only our own stream tells when a buffer is heard: we know
// the stream index of every buffer we write, and the server's timing reports
// for the stream say which index its sink read at which moment and how long
// the sink takes to play what it reads, from which libpulse keeps the
// stream's playback time. A buffer's first frame is heard when the playback
// time reaches its index; the difference from now is the latency reported
// for it (sound/latency.h). A report is asked for with every buffer.
#pragma once

#include "sound/output.h"

#include <atomic>
#include <cstdint>
#include <vector>

struct pa_threaded_mainloop;
struct pa_context;
struct pa_stream;

class cPulseOutput final : public cAudioOutput {
public:
    ~cPulseOutput() override { Close(); }
    // False, quickly, when no Pulse server answers (none is spawned).
    bool Open(int rate, int frames) override;
    bool IsOpen() const override { return stream != nullptr; }
    void Play(cAudioSource* source) override;
    void Stop() override;
    void Close() override;
    bool Lost() const override;
    // True when the server that answered is PipeWire's Pulse server (also
    // after an Open that yielded to PipeWire).
    bool OnPipeWire() const { return pipeWire; }
    // Chosen before Open: on PipeWire's Pulse server, Open fails at once,
    // so that PipeWire's own stream plays instead.
    void SetYieldToPipeWire(bool on) { yieldToPipeWire = on; }

private:
    static void OnContextState(pa_context* context, void* self);
    static void OnStreamState(pa_stream* stream, void* self);
    static void OnWritable(pa_stream* stream, size_t bytes, void* self);
    static void OnTiming(pa_stream* stream, int success, void* self);
    void WriteBuffer(pa_stream* s);
    cSoundClock::time_point HeardAt(pa_stream* s, cSoundClock::time_point now);

    pa_threaded_mainloop* loop = nullptr;
    pa_context* context = nullptr;
    pa_stream* stream = nullptr;
    int rate = 0;
    int frames = 0;
    bool pipeWire = false;
    bool yieldToPipeWire = false;
    bool begun = false;  // the output latency is ours
    std::atomic<bool> lost{false};
    // The rest belongs to the main loop's thread, or to whoever holds its lock.
    std::vector<int16_t> buffer;
    int64_t written = 0;  // frames written to the stream since it was made
    bool timingAsked = false;              // a timing report is on its way
    bool prioritised = false;              // the thread's priority has been asked for
    bool anchored = false;                 // a heard time has been known
    cSoundClock::time_point anchorHeard;   // when frame anchorFrame is heard
    int64_t anchorFrame = 0;
    cAudioSource* source = nullptr;
};
