// PipeWire output: a thread loop, one core connection and one playback
// stream, filled on the thread loop (not in the graph's realtime thread), so
// that holding the loop's lock keeps the source still.
#include "sound/pipewire_output.h"

#include "sound/latency.h"

#include <pipewire/pipewire.h>
#include <spa/node/io.h>
#include <spa/param/audio/format-utils.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>

namespace {

// ---- Constants -------------------------------------------------------------

// How long Open waits for the graph to take the stream (a session manager
// links it to the default sink and the sink's driver runs it). A healthy
// server does it in tens of milliseconds; one without a sink never does,
// and the Pulse route is tried instead.
constexpr int64_t kOpenWaitNs = 1000 * 1000 * 1000;
// As the Pulse output's (pulse_output.cpp): a busy machine should not starve
// the thread that renders the music.
constexpr int kRenderNice = -10;
constexpr int kFrameBytes = 2 * sizeof(int16_t);

// ---- Local helpers ---------------------------------------------------------

std::chrono::duration<double> Seconds(double s) { return std::chrono::duration<double>(s); }

cSoundClock::duration ClockDuration(double seconds) {
    return std::chrono::duration_cast<cSoundClock::duration>(Seconds(seconds));
}

int64_t MonotonicNs() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

}  // namespace

// libpipewire's listener records: their layout belongs to libpipewire, so
// they stay out of the header.
struct cPipeWireOutput::cHooks {
    spa_hook core;
    spa_hook stream;
    pw_core_events coreEvents;
    pw_stream_events streamEvents;
    bool coreHooked = false;
};

// ---- Public functions ------------------------------------------------------

cPipeWireOutput::cPipeWireOutput() : hooks(new cHooks) {
    static std::once_flag initialised;
    std::call_once(initialised, [] { pw_init(nullptr, nullptr); });
}

cPipeWireOutput::~cPipeWireOutput() {
    Close();
    delete hooks;
}

bool cPipeWireOutput::Open(int mixRate, int bufferFrames) {
    Close();
    rate = mixRate;
    frames = bufferFrames;
    lost.store(false, std::memory_order_relaxed);
    streaming = false;
    prioritised = false;
    position = nullptr;
    source = nullptr;
    std::memset(static_cast<void*>(hooks), 0, sizeof *hooks);
    hooks->coreEvents.version = PW_VERSION_CORE_EVENTS;
    hooks->coreEvents.error = [](void* self, uint32_t id, int seq, int res, const char* message) {
        OnCoreError(self, id, seq, res, message);
    };
    hooks->streamEvents.version = PW_VERSION_STREAM_EVENTS;
    hooks->streamEvents.state_changed = [](void* self, pw_stream_state old, pw_stream_state state, const char* error) {
        OnStateChanged(self, int(old), int(state), error);
    };
    hooks->streamEvents.io_changed = &cPipeWireOutput::OnIoChanged;
    hooks->streamEvents.process = &cPipeWireOutput::OnProcess;

    loop = pw_thread_loop_new("vk-music", nullptr);
    if (!loop) {
        Close();
        return false;
    }
    context = pw_context_new(pw_thread_loop_get_loop(loop), nullptr, 0);
    if (!context || pw_thread_loop_start(loop) < 0) {
        Close();
        return false;
    }
    pw_thread_loop_lock(loop);
    pw_properties* coreProps =
        remote.empty() ? nullptr : pw_properties_new(PW_KEY_REMOTE_NAME, remote.c_str(), nullptr);
    core = pw_context_connect(context, coreProps, 0);
    bool ok = core != nullptr;
    if (ok) {
        BeginOutputLatency("pipewire");
        begun = true;
        pw_core_add_listener(core, &hooks->core, &hooks->coreEvents, this);
        hooks->coreHooked = true;
        pw_properties* props = pw_properties_new(PW_KEY_MEDIA_TYPE, "Audio", PW_KEY_MEDIA_CATEGORY, "Playback",
                                                 PW_KEY_MEDIA_ROLE, "Game", nullptr);
        // Cycles of one buffer, as the Pulse stream's requests.
        pw_properties_setf(props, PW_KEY_NODE_LATENCY, "%d/%d", frames, rate);
        stream = pw_stream_new(core, "music", props);
        ok = stream != nullptr;
    }
    if (ok) {
        pw_stream_add_listener(stream, &hooks->stream, &hooks->streamEvents, this);
        uint8_t podData[1024];
        spa_pod_builder builder;
        spa_pod_builder_init(&builder, podData, sizeof podData);
        spa_audio_info_raw info;
        std::memset(&info, 0, sizeof info);
        info.format = SPA_AUDIO_FORMAT_S16;
        info.rate = uint32_t(rate);
        info.channels = 2;
        info.position[0] = SPA_AUDIO_CHANNEL_FL;
        info.position[1] = SPA_AUDIO_CHANNEL_FR;
        const spa_pod* params[1] = {spa_format_audio_raw_build(&builder, SPA_PARAM_EnumFormat, &info)};
        const auto flags = pw_stream_flags(PW_STREAM_FLAG_AUTOCONNECT | PW_STREAM_FLAG_MAP_BUFFERS);
        ok = pw_stream_connect(stream, PW_DIRECTION_OUTPUT, PW_ID_ANY, flags, params, 1) == 0;
    }
    if (ok) {
        // Every state change signals.
        timespec deadline;
        pw_thread_loop_get_time(loop, &deadline, kOpenWaitNs);
        while (!streaming && !lost.load(std::memory_order_relaxed))
            if (pw_thread_loop_timed_wait_full(loop, &deadline) == -ETIMEDOUT) break;
        ok = streaming && !lost.load(std::memory_order_relaxed);
    }
    pw_thread_loop_unlock(loop);
    if (!ok) Close();
    return ok;
}

void cPipeWireOutput::Play(cAudioSource* newSource) {
    if (!stream) return;
    pw_thread_loop_lock(loop);
    source = newSource;
    pw_thread_loop_unlock(loop);
}

// The stream is filled under the loop's lock: once Play(nullptr) holds it, no
// Fill runs.
void cPipeWireOutput::Stop() { Play(nullptr); }

void cPipeWireOutput::Close() {
    if (loop) {
        pw_thread_loop_lock(loop);
        if (stream) pw_stream_destroy(stream);
        if (hooks->coreHooked) spa_hook_remove(&hooks->core);
        hooks->coreHooked = false;
        if (core) pw_core_disconnect(core);
        pw_thread_loop_unlock(loop);
        pw_thread_loop_stop(loop);
    }
    if (context) pw_context_destroy(context);
    if (loop) pw_thread_loop_destroy(loop);
    if (begun) EndOutputLatency();
    begun = false;
    stream = nullptr;
    core = nullptr;
    context = nullptr;
    loop = nullptr;
    source = nullptr;
    position = nullptr;
}

// ---- The thread loop -------------------------------------------------------

void cPipeWireOutput::OnStateChanged(void* self, int, int state, const char*) {
    cPipeWireOutput* output = static_cast<cPipeWireOutput*>(self);
    if (state == PW_STREAM_STATE_STREAMING) output->streaming = true;
    // The server went, or refused the stream.
    if (state == PW_STREAM_STATE_ERROR || (state == PW_STREAM_STATE_UNCONNECTED && output->streaming))
        output->lost.store(true, std::memory_order_relaxed);
    pw_thread_loop_signal(output->loop, false);
}

void cPipeWireOutput::OnCoreError(void* self, uint32_t id, int, int res, const char*) {
    cPipeWireOutput* output = static_cast<cPipeWireOutput*>(self);
    // A broken connection is reported on the core itself.
    if (id == PW_ID_CORE && res == -EPIPE) output->lost.store(true, std::memory_order_relaxed);
    pw_thread_loop_signal(output->loop, false);
}

void cPipeWireOutput::OnIoChanged(void* self, uint32_t id, void* area, uint32_t) {
    cPipeWireOutput* output = static_cast<cPipeWireOutput*>(self);
    if (id == SPA_IO_Position) output->position = static_cast<const spa_io_position*>(area);
}

void cPipeWireOutput::OnProcess(void* self) {
    cPipeWireOutput* output = static_cast<cPipeWireOutput*>(self);
    if (!output->prioritised) {
        setpriority(PRIO_PROCESS, id_t(gettid()), kRenderNice);  // best effort
        output->prioritised = true;
    }
    pw_buffer* b = pw_stream_dequeue_buffer(output->stream);
    if (!b) return;
    spa_data& data = b->buffer->datas[0];
    if (!data.data) {
        pw_stream_queue_buffer(output->stream, b);
        return;
    }
    const int room = int(data.maxsize / kFrameBytes);
    const int count = std::min(room, b->requested ? int(b->requested) : output->frames);
    int16_t* out = static_cast<int16_t*>(data.data);
    if (output->source) {
        const cSoundClock::time_point heard = output->HeardAt();
        output->source->Fill(out, count);
        output->source->Heard(heard + ClockDuration(SoundOutputLatency().offset));
    } else {
        std::memset(out, 0, size_t(count) * kFrameBytes);
    }
    data.chunk->offset = 0;
    data.chunk->stride = kFrameBytes;
    data.chunk->size = uint32_t(count * kFrameBytes);
    b->size = uint64_t(count);  // the stream's queue is counted in frames
    pw_stream_queue_buffer(output->stream, b);
}

// When the first frame of a buffer queued now is heard. The stream's report
// was taken at the start of the graph's current cycle, which has already
// taken what it needs from us: a buffer queued now is taken in the next
// cycle, after what we have queued before it (in frames) and what the
// resampler holds, and is then heard after the graph's delay to the device.
cSoundClock::time_point cPipeWireOutput::HeardAt() {
    const cSoundClock::time_point now = cSoundClock::now();
    pw_time t;
    std::memset(&t, 0, sizeof t);
    if (pw_stream_get_time_n(stream, &t, sizeof t) < 0 || t.rate.denom == 0 || t.now == 0) return now;
    const double tick = double(t.rate.num) / t.rate.denom;
    const double elapsed = double(MonotonicNs() - t.now) / 1e9;
    const double cycle = position ? double(position->clock.duration) * tick : 0;
    const double graph = double(t.delay) * tick;
    const double queued = double(t.queued + t.buffered) / rate + cycle;
    const double ahead = std::max(0.0, queued + graph - elapsed);
    ReportOutputLatency(std::max(0.0, queued - elapsed), graph);
    return now + ClockDuration(ahead);
}
