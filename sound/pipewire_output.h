// PipeWire output: our own playback stream in a PipeWire server's graph,
// through libpipewire's thread loop.
//
// On PipeWire we play through its own stream interface rather than through
// its Pulse server, because only PipeWire's timing reports count the graph:
// through the Pulse server our buffers are heard a graph cycle later than its
// reports say. The stream reports, every cycle, when the cycle began, how
// long the graph takes from our stream to the device, what we have queued
// and what the resampler holds; a buffer queued now is taken in the next
// cycle and heard after all of that (sound/latency.h). The stream asks the
// graph for cycles of our buffer's length and fills whatever each cycle
// asks for.
#pragma once

#include "sound/output.h"

#include <atomic>
#include <cstdint>
#include <string>

struct pw_thread_loop;
struct pw_context;
struct pw_core;
struct pw_stream;
struct spa_io_position;

class cPipeWireOutput final : public cAudioOutput {
public:
    cPipeWireOutput();
    ~cPipeWireOutput() override;
    // False, quickly, when no PipeWire server answers at remote (a socket
    // path, or "" for PipeWire's own choice: PIPEWIRE_REMOTE, else
    // pipewire-0 in XDG_RUNTIME_DIR) or it plays nothing.
    bool Open(int rate, int frames) override;
    bool IsOpen() const override { return stream != nullptr; }
    void Play(cAudioSource* source) override;
    void Stop() override;
    void Close() override;
    bool Lost() const override { return lost.load(std::memory_order_relaxed); }
    // The server to connect to; chosen before Open.
    void SetRemote(std::string path) { remote = std::move(path); }

private:
    struct cHooks;
    static void OnProcess(void* self);
    static void OnStateChanged(void* self, int old, int state, const char* error);
    static void OnIoChanged(void* self, uint32_t id, void* area, uint32_t size);
    static void OnCoreError(void* self, uint32_t id, int seq, int res, const char* message);
    cSoundClock::time_point HeardAt();

    cHooks* hooks;  // libpipewire's listener records
    std::string remote;
    pw_thread_loop* loop = nullptr;
    pw_context* context = nullptr;
    pw_core* core = nullptr;
    pw_stream* stream = nullptr;
    int rate = 0;
    int frames = 0;
    std::atomic<bool> lost{false};
    bool begun = false;  // the output latency is ours
    // The rest belongs to the thread loop, or to whoever holds its lock.
    bool streaming = false;                  // the stream has reached the graph
    bool prioritised = false;                // the thread's priority has been asked for
    const spa_io_position* position = nullptr;  // the graph's clock (cycle length)
    cAudioSource* source = nullptr;
};
