// Pulse output: a threaded main loop, one context and one playback stream.
// The stream plays silence while no source plays, so its timing report is
// always current when a song starts.
#include "sound/pulse_output.h"

#include "sound/latency.h"

#include <pulse/pulseaudio.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string>

// ---- ThreadSanitizer builds ----------------------------------------------

// libpulse creates some of its mutexes lazily: the first thread to need one
// allocates it and publishes the pointer with its own compare-and-swap, which
// a ThreadSanitizer build cannot see (the library is not instrumented). The
// second thread's first lock of such a mutex is then reported as a race with
// its allocation. The suppression covers accesses inside pa_mutex_lock only,
// so races on our own data are still reported, whichever thread calls us.
#if defined(__SANITIZE_THREAD__)
#define VK_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define VK_THREAD_SANITIZER 1
#endif
#endif
#ifdef VK_THREAD_SANITIZER
extern "C" const char* __tsan_default_suppressions() { return "race:pa_mutex_lock\n"; }
#endif

namespace {

// ---- Constants -------------------------------------------------------------

// The server is asked to keep this many of our buffers queued in all, sink
// included (the stream asks for latency adjustment). Releases follow the
// latency whatever it is, so it only has to be long enough not to run dry
// on a busy machine.
constexpr int kTargetBuffers = 4;
// Scheduling priority asked for the main loop's thread, which renders the
// music (when the process may raise it), as SDL asks for its audio thread:
// a busy machine should not starve the stream.
constexpr int kRenderNice = -10;
// How long Open waits for a server that answers but does not get the stream
// going (a hung one): then SDL takes over, or the stream goes on without
// its first report.
constexpr pa_usec_t kOpenWait = 2 * PA_USEC_PER_SEC;

// ---- Local helpers ---------------------------------------------------------

std::chrono::duration<double> Seconds(double s) { return std::chrono::duration<double>(s); }

cSoundClock::duration ClockDuration(double seconds) {
    return std::chrono::duration_cast<cSoundClock::duration>(Seconds(seconds));
}


// Open's deadline: a timer of the main loop that marks it passed and wakes Open.
struct cDeadline {
    pa_threaded_mainloop* loop;
    bool passed = false;
};

void OnDeadline(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* self) {
    cDeadline* deadline = static_cast<cDeadline*>(self);
    deadline->passed = true;
    pa_threaded_mainloop_signal(deadline->loop, 0);
}

// Waits, holding the loop's lock, until the context is ready; false when it
// failed or the deadline passed.
bool WaitContextReady(const cDeadline& deadline, pa_context* context) {
    for (;;) {
        const pa_context_state_t state = pa_context_get_state(context);
        if (state == PA_CONTEXT_READY) return true;
        if (!PA_CONTEXT_IS_GOOD(state) || deadline.passed) return false;
        pa_threaded_mainloop_wait(deadline.loop);
    }
}

bool WaitStreamReady(const cDeadline& deadline, pa_stream* stream) {
    for (;;) {
        const pa_stream_state_t state = pa_stream_get_state(stream);
        if (state == PA_STREAM_READY) return true;
        if (!PA_STREAM_IS_GOOD(state) || deadline.passed) return false;
        pa_threaded_mainloop_wait(deadline.loop);
    }
}

// Waits, holding the loop's lock, until the server reports the stream
// playing (its first buffers reached the sink), or the deadline: until then
// nothing tells when a buffer is heard. Every timing report signals.
void WaitPlaying(const cDeadline& deadline, pa_stream* stream) {
    for (;;) {
        const pa_timing_info* timing = pa_stream_get_timing_info(stream);
        if ((timing && timing->playing) || deadline.passed || !PA_STREAM_IS_GOOD(pa_stream_get_state(stream)))
            return;
        pa_threaded_mainloop_wait(deadline.loop);
    }
}

// Waits, holding the loop's lock, until the operation is done or the deadline.
void WaitOperation(const cDeadline& deadline, pa_operation* operation) {
    if (!operation) return;
    while (pa_operation_get_state(operation) == PA_OPERATION_RUNNING && !deadline.passed)
        pa_threaded_mainloop_wait(deadline.loop);
    pa_operation_unref(operation);
}

void SignalSuccess(pa_context*, int, void* loop) {
    pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop*>(loop), 0);
}

// What Open learns of the server: whether it is PipeWire's Pulse server and
// whether its default sink is a software one (no device behind it) that
// idles (no stream plays on it), and its name.
struct cServerFacts {
    pa_threaded_mainloop* loop;
    bool pipeWire = false;
    bool idle = false;
    std::string sink;
};

void OnServerInfo(pa_context*, const pa_server_info* info, void* self) {
    cServerFacts* facts = static_cast<cServerFacts*>(self);
    // "PulseAudio (on PipeWire 0.3.65)"
    if (info && info->server_name) facts->pipeWire = std::strstr(info->server_name, "PipeWire") != nullptr;
    pa_threaded_mainloop_signal(facts->loop, 0);
}

void OnSinkInfo(pa_context*, const pa_sink_info* info, int, void* self) {
    cServerFacts* facts = static_cast<cServerFacts*>(self);
    if (info && info->name) {
        facts->idle = info->state == PA_SINK_IDLE && !(info->flags & PA_SINK_HARDWARE);
        facts->sink = info->name;
    }
    pa_threaded_mainloop_signal(facts->loop, 0);
}

}  // namespace

// ---- Public functions ------------------------------------------------------

bool cPulseOutput::Open(int mixRate, int bufferFrames) {
    Close();
    rate = mixRate;
    frames = bufferFrames;
    buffer.assign(size_t(frames) * 2, 0);
    written = 0;
    timingAsked = false;
    prioritised = false;
    anchored = false;
    pipeWire = false;
    lost.store(false, std::memory_order_relaxed);
    source = nullptr;

    loop = pa_threaded_mainloop_new();
    if (!loop) return false;
    pa_proplist* props = pa_proplist_new();
    pa_proplist_sets(props, PA_PROP_MEDIA_ROLE, "game");
    char binary[256] = "music";
    pa_get_binary_name(binary, sizeof binary);
    context = pa_context_new_with_proplist(pa_threaded_mainloop_get_api(loop), binary, props);
    pa_proplist_free(props);
    if (!context) {
        Close();
        return false;
    }
    pa_context_set_state_callback(context, &cPulseOutput::OnContextState, this);
    cDeadline deadline{loop};
    pa_time_event* timer = pa_context_rttime_new(context, pa_rtclock_now() + kOpenWait, OnDeadline, &deadline);
    // No server of our own making: without a running one, SDL takes over.
    if (!timer || pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 ||
        pa_threaded_mainloop_start(loop) < 0) {
        if (timer) pa_threaded_mainloop_get_api(loop)->time_free(timer);
        Close();
        return false;
    }
    pa_threaded_mainloop_lock(loop);
    bool ok = WaitContextReady(deadline, context);
    if (ok) {
        BeginOutputLatency("pulseaudio");
        begun = true;
    }
    cServerFacts facts{loop, false, false, {}};
    if (ok) {
        WaitOperation(deadline, pa_context_get_server_info(context, OnServerInfo, &facts));
        WaitOperation(deadline, pa_context_get_sink_info_by_name(context, "@DEFAULT_SINK@", OnSinkInfo, &facts));
        pipeWire = facts.pipeWire;
        if (pipeWire && yieldToPipeWire) ok = false;
    }
    if (ok) {
        const pa_sample_spec format = {PA_SAMPLE_S16NE, uint32_t(rate), 2};
        pa_stream* s = pa_stream_new(context, "music", &format, nullptr);
        ok = s != nullptr;
        if (ok) {
            const uint32_t bufferBytes = uint32_t(frames) * 2 * sizeof(int16_t);
            pa_buffer_attr attr;
            attr.maxlength = uint32_t(-1);
            attr.tlength = kTargetBuffers * bufferBytes;
            attr.prebuf = uint32_t(-1);
            attr.minreq = bufferBytes;
            attr.fragsize = uint32_t(-1);
            pa_stream_set_state_callback(s, &cPulseOutput::OnStreamState, this);
            pa_stream_set_write_callback(s, &cPulseOutput::OnWritable, this);
            const auto flags = pa_stream_flags_t(PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE |
                                                 PA_STREAM_ADJUST_LATENCY);
            ok = pa_stream_connect_playback(s, nullptr, &attr, flags, nullptr, nullptr) == 0 &&
                 WaitStreamReady(deadline, s);
            if (ok) {
                stream = s;
                // An idle software sink of PulseAudio (a null sink; PipeWire
                // starts a stream in its next graph cycle) renders its
                // silence in long blocks (2 s) and takes our smaller latency
                // only when its current block ends, so the first buffers
                // would be heard up to 2 s late. Nobody plays on an idle
                // sink, so suspending and resuming it (what PulseAudio itself
                // does to idle sinks) is unheard; it starts rendering afresh,
                // at our latency. A sound card's sink is left alone: closing
                // and reopening a device can be heard (or take seconds, on
                // HDMI or Bluetooth), and its first buffers are not late.
                // Both requests go out together and name the sink that was
                // found idle: the resume follows right behind the suspend,
                // without waiting for its answer, and reaches the same sink
                // even if the default changes meanwhile. Best effort: the
                // server may refuse.
                if (facts.idle && !facts.pipeWire) {
                    const char* sink = facts.sink.c_str();
                    pa_operation* suspend = pa_context_suspend_sink_by_name(context, sink, 1, nullptr, nullptr);
                    if (suspend) {
                        pa_operation_unref(suspend);
                        WaitOperation(deadline,
                                      pa_context_suspend_sink_by_name(context, sink, 0, SignalSuccess, loop));
                    }
                }
                WaitPlaying(deadline, s);
            } else {
                pa_stream_set_write_callback(s, nullptr, nullptr);
                pa_stream_disconnect(s);
                pa_stream_unref(s);
            }
        }
    }
    pa_threaded_mainloop_get_api(loop)->time_free(timer);
    pa_threaded_mainloop_unlock(loop);
    if (!ok) Close();
    return ok;
}

void cPulseOutput::Play(cAudioSource* newSource) {
    if (!stream) return;
    pa_threaded_mainloop_lock(loop);
    source = newSource;
    pa_threaded_mainloop_unlock(loop);
}

void cPulseOutput::Stop() {
    if (!stream) return;
    // The stream is filled under the loop's lock: once we hold it, no Fill runs.
    pa_threaded_mainloop_lock(loop);
    source = nullptr;
    pa_threaded_mainloop_unlock(loop);
}

void cPulseOutput::Close() {
    if (loop) {
        pa_threaded_mainloop_lock(loop);
        if (stream) {
            pa_stream_set_write_callback(stream, nullptr, nullptr);
            pa_stream_set_state_callback(stream, nullptr, nullptr);
            pa_stream_disconnect(stream);
        }
        if (context) {
            pa_context_set_state_callback(context, nullptr, nullptr);
            pa_context_disconnect(context);
        }
        pa_threaded_mainloop_unlock(loop);
        pa_threaded_mainloop_stop(loop);
    }
    if (stream) pa_stream_unref(stream);
    if (context) pa_context_unref(context);
    if (loop) pa_threaded_mainloop_free(loop);
    if (begun) EndOutputLatency();
    begun = false;
    stream = nullptr;
    context = nullptr;
    loop = nullptr;
    source = nullptr;
}

bool cPulseOutput::Lost() const { return lost.load(std::memory_order_relaxed); }

// ---- The main loop's thread ------------------------------------------------

// State changes wake whoever waits on the main loop; a connection or stream
// that fails or ends is a server gone (Close removes the callbacks first).
void cPulseOutput::OnContextState(pa_context* c, void* self) {
    cPulseOutput* output = static_cast<cPulseOutput*>(self);
    if (!PA_CONTEXT_IS_GOOD(pa_context_get_state(c))) output->lost.store(true, std::memory_order_relaxed);
    pa_threaded_mainloop_signal(output->loop, 0);
}

void cPulseOutput::OnStreamState(pa_stream* s, void* self) {
    cPulseOutput* output = static_cast<cPulseOutput*>(self);
    if (!PA_STREAM_IS_GOOD(pa_stream_get_state(s))) output->lost.store(true, std::memory_order_relaxed);
    pa_threaded_mainloop_signal(output->loop, 0);
}

// Also while Open waits for the stream to be ready, before `stream` is set.
void cPulseOutput::OnWritable(pa_stream* s, size_t bytes, void* self) {
    cPulseOutput* output = static_cast<cPulseOutput*>(self);
    if (!output->prioritised) {
        setpriority(PRIO_PROCESS, id_t(gettid()), kRenderNice);  // best effort
        output->prioritised = true;
    }
    const size_t bufferBytes = output->buffer.size() * sizeof(int16_t);
    for (; bytes >= bufferBytes; bytes -= bufferBytes) output->WriteBuffer(s);
}

void cPulseOutput::OnTiming(pa_stream*, int, void* self) {
    cPulseOutput* output = static_cast<cPulseOutput*>(self);
    output->timingAsked = false;
    pa_threaded_mainloop_signal(output->loop, 0);  // for Open, waiting for the stream to play
}

void cPulseOutput::WriteBuffer(pa_stream* s) {
    if (!timingAsked) {
        if (pa_operation* o = pa_stream_update_timing_info(s, &cPulseOutput::OnTiming, this)) {
            timingAsked = true;
            pa_operation_unref(o);
        }
    }
    const cSoundClock::time_point heard = HeardAt(s, cSoundClock::now());
    if (source) {
        source->Fill(buffer.data(), frames);
        source->Heard(heard + ClockDuration(SoundOutputLatency().offset));
    } else {
        std::fill(buffer.begin(), buffer.end(), int16_t(0));
    }
    pa_stream_write(s, buffer.data(), buffer.size() * sizeof(int16_t), nullptr, 0, PA_SEEK_RELATIVE);
    written += frames;
}

// When the frame about to be written is heard: now, plus what the stream
// holds ahead of it. libpulse turns the server's reports into the stream's
// playback time now (the frame being heard, the sink's latency counted),
// interpolated between reports and smoothed over them, which also follows a
// sound card clock that runs a little off the system's; everything written
// beyond that is still to be heard, in order.
cSoundClock::time_point cPulseOutput::HeardAt(pa_stream* s, cSoundClock::time_point now) {
    pa_usec_t played = 0;
    const pa_timing_info* timing = pa_stream_get_timing_info(s);
    if (timing && timing->playing && pa_stream_get_time(s, &played) == 0) {
        const double ahead = std::max(0.0, double(written) / rate - double(played) / PA_USEC_PER_SEC);
        const double sink = std::min(ahead, double(timing->sink_usec) / PA_USEC_PER_SEC);
        ReportOutputLatency(ahead - sink, sink);
        anchored = true;
        anchorFrame = written;
        anchorHeard = now + ClockDuration(ahead);
        return anchorHeard;
    }
    // No report yet (the stream has just started), or the stream is not
    // playing: go on from the last heard time known at the mixing rate.
    if (!anchored) return now;
    return std::max(now, anchorHeard + ClockDuration(double(written - anchorFrame) / rate));
}
