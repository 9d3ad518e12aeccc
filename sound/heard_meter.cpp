// The heard meter: the default sink's monitor recorded on the layer's clock
// and matched with the offline render.
#include "sound/heard_meter.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <thread>

namespace {

using std::chrono::duration;
using std::chrono::milliseconds;

constexpr double kRenderRate = cOfflineSong::kRate;
// Reads that arrive closer together than this came with one hand-off.
constexpr double kSameHandOff = 0.0005;

double Seconds(cSoundClock::time_point t) { return duration<double>(t.time_since_epoch()).count(); }

// The shortest time from writing to a socket to a thread blocked on it
// running again, over many tries: what a server's hand-off costs the
// recording thread at the least.
double MeasureWakeDelay() {
    int pair[2];
    if (socketpair(AF_UNIX, SOCK_STREAM, 0, pair) != 0) return 0;
    double shortest = 1;
    std::thread sleeper([&] {
        for (int i = 0; i < 200; ++i) {
            pollfd p{pair[1], POLLIN, 0};
            poll(&p, 1, 1000);
            const double woke = Seconds(cSoundClock::now());
            double sent;
            if (read(pair[1], &sent, sizeof sent) != sizeof sent) break;
            shortest = std::min(shortest, woke - sent);
        }
    });
    for (int i = 0; i < 200; ++i) {
        std::this_thread::sleep_for(milliseconds(1));
        const double sent = Seconds(cSoundClock::now());
        if (write(pair[0], &sent, sizeof sent) != sizeof sent) break;
    }
    sleeper.join();
    close(pair[0]);
    close(pair[1]);
    return shortest;
}

// Mean magnitude over windows of `window` frames.
std::vector<float> Envelope(const std::vector<float>& x, int window) {
    std::vector<float> e(x.size() / size_t(window));
    for (size_t i = 0; i < e.size(); ++i) {
        float sum = 0;
        for (int j = 0; j < window; ++j) sum += std::fabs(x[i * size_t(window) + size_t(j)]);
        e[i] = sum / float(window);
    }
    return e;
}

// The lag (b's index 0 at a's index lag) in [from, to] where a and b
// correlate best, normalised over an overlap of at least `overlap`.
double BestLag(const std::vector<float>& a, const std::vector<float>& b, long from, long to, long overlap,
               double& score) {
    score = -1;
    double best = std::numeric_limits<double>::quiet_NaN();
    for (long lag = from; lag <= to; ++lag) {
        const long i0 = std::max(0L, lag), i1 = std::min(long(a.size()), lag + long(b.size()));
        if (i1 - i0 < overlap) continue;
        double ab = 0, aa = 0, bb = 0;
        for (long i = i0; i < i1; ++i) {
            const double x = a[size_t(i)], y = b[size_t(i - lag)];
            ab += x * y;
            aa += x * x;
            bb += y * y;
        }
        if (aa <= 0 || bb <= 0) continue;
        const double s = ab / std::sqrt(aa * bb);
        if (s > score) score = s, best = double(lag);
    }
    return best;
}

}  // namespace

// ---- Recorder ------------------------------------------------------------------

cMonitorRecorder::cMonitorRecorder(const std::string& server) {
    wakeDelay = MeasureWakeDelay();
    if (!Connect(server)) Stop();
}

bool cMonitorRecorder::Connect(const std::string& server) {
    loop = pa_threaded_mainloop_new();
    context = pa_context_new(pa_threaded_mainloop_get_api(loop), "vk-heard-meter");
    const char* address = server.empty() ? nullptr : server.c_str();
    const std::string where = server.empty() ? "the default address" : server;
    if (pa_context_connect(context, address, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 ||
        pa_threaded_mainloop_start(loop) < 0) {
        problem = "no Pulse sound server (PulseAudio or pipewire-pulse) answers at " + where;
        return false;
    }
    // The main loop's thread fills what is asked for; this one waits.
    const auto end = cSoundClock::now() + std::chrono::seconds(5);
    const auto waitFor = [&](auto ready) {
        for (;;) {
            pa_threaded_mainloop_lock(loop);
            const int state = ready();
            pa_threaded_mainloop_unlock(loop);
            if (state != 0) return state > 0;
            if (cSoundClock::now() > end) return false;
            std::this_thread::sleep_for(milliseconds(2));
        }
    };
    if (!waitFor([&] {
            const pa_context_state_t s = pa_context_get_state(context);
            return s == PA_CONTEXT_READY ? 1 : PA_CONTEXT_IS_GOOD(s) ? 0 : -1;
        })) {
        problem = "no Pulse sound server (PulseAudio or pipewire-pulse) answers at " + where;
        return false;
    }
    // Which server it is (PipeWire's Pulse server says so in its name), and
    // the default sink's rate and monitor.
    struct cFound {
        bool server = false, sink = false;
        std::string serverName, sinkName, monitor;
        int rate = 0;
    } found;
    pa_threaded_mainloop_lock(loop);
    pa_operation_unref(pa_context_get_server_info(
        context,
        [](pa_context*, const pa_server_info* info, void* data) {
            auto* f = static_cast<cFound*>(data);
            if (info) {
                f->serverName = info->server_name ? info->server_name : "";
                f->sinkName = info->default_sink_name ? info->default_sink_name : "";
            }
            f->server = true;
        },
        &found));
    pa_threaded_mainloop_unlock(loop);
    if (!waitFor([&] { return found.server ? 1 : 0; })) {
        problem = where + " does not say what it is";
        return false;
    }
    serverName = found.serverName;
    pipeWire = serverName.find("PipeWire") != std::string::npos;
    pa_operation* asked = nullptr;
    if (!found.sinkName.empty()) {
        pa_threaded_mainloop_lock(loop);
        asked = pa_context_get_sink_info_by_name(
            context, found.sinkName.c_str(),
            [](pa_context*, const pa_sink_info* info, int eol, void* data) {
                auto* f = static_cast<cFound*>(data);
                if (info) {
                    f->monitor = info->monitor_source_name ? info->monitor_source_name : "";
                    f->rate = int(info->sample_spec.rate);
                }
                if (eol) f->sink = true;
            },
            &found);
        if (asked) pa_operation_unref(asked);
        pa_threaded_mainloop_unlock(loop);
    }
    if (!asked || !waitFor([&] { return found.sink ? 1 : 0; }) || found.monitor.empty() || found.rate <= 0) {
        problem = serverName + " has no default sink with a monitor";
        return false;
    }
    sink = found.sinkName;
    rate = found.rate;
    // 16-bit stereo at the sink's own rate: nothing is converted on the way.
    const pa_sample_spec format{PA_SAMPLE_S16LE, uint32_t(rate), 2};
    pa_buffer_attr attr;
    attr.maxlength = uint32_t(-1);
    attr.tlength = attr.prebuf = attr.minreq = uint32_t(-1);
    // Small fragments: each hand-off is passed on as it comes. (On PipeWire
    // the graph's cycle sets the pace, so this cannot shorten it.)
    attr.fragsize = uint32_t(pa_usec_to_bytes(2000, &format));
    pa_threaded_mainloop_lock(loop);
    stream = pa_stream_new(context, "vk heard meter", &format, nullptr);
    pa_stream_set_read_callback(stream, OnRead, this);
    const int connected =
        pa_stream_connect_record(stream, found.monitor.c_str(), &attr, pa_stream_flags_t(PA_STREAM_ADJUST_LATENCY));
    pa_threaded_mainloop_unlock(loop);
    if (connected < 0 || !waitFor([&] {
            const pa_stream_state_t s = pa_stream_get_state(stream);
            return s == PA_STREAM_READY ? 1 : PA_STREAM_IS_GOOD(s) ? 0 : -1;
        })) {
        problem = "cannot record " + found.monitor;
        return false;
    }
    return true;
}

cMonitorRecorder::~cMonitorRecorder() { Stop(); }

void cMonitorRecorder::OnRead(pa_stream* stream, size_t, void* data) {
    auto* self = static_cast<cMonitorRecorder*>(data);
    const cSoundClock::time_point now = cSoundClock::now();
    std::lock_guard<std::mutex> lock(self->mutex);
    while (pa_stream_readable_size(stream) > 0) {
        const void* bytes = nullptr;
        size_t size = 0;
        if (pa_stream_peek(stream, &bytes, &size) < 0 || size == 0) break;
        const int frames = int(size / 4);
        const int64_t first = int64_t(self->samples.size());
        self->samples.resize(self->samples.size() + size_t(frames), 0.0f);
        if (bytes) {  // else a hole: silence
            const auto* pcm = static_cast<const int16_t*>(bytes);
            for (int i = 0; i < frames; ++i)
                self->samples[size_t(first + i)] = (float(pcm[2 * i]) + float(pcm[2 * i + 1])) / 65536.0f;
        }
        self->blocks.push_back({first, frames, now});
        pa_stream_drop(stream);
    }
}

void cMonitorRecorder::Stop() {
    if (loop) {
        pa_threaded_mainloop_lock(loop);
        if (stream) pa_stream_disconnect(stream);
        if (context) pa_context_disconnect(context);
        pa_threaded_mainloop_unlock(loop);
        pa_threaded_mainloop_stop(loop);
        if (stream) pa_stream_unref(stream);
        if (context) pa_context_unref(context);
        pa_threaded_mainloop_free(loop);
        loop = nullptr;
        stream = nullptr;
        context = nullptr;
        // Measured again: a busy machine can only lengthen the shortest wake-up.
        wakeDelay = std::min(wakeDelay, MeasureWakeDelay());
    }
    // PulseAudio hands each block over as its first frame starts to play.
    // PipeWire hands a cycle's frames over (in several reads) in the next
    // cycle: only reads that begin a cycle count, one cycle behind. The
    // earliest of all sets the pace.
    const int cycle = BlockFrames();
    handOff = pipeWire ? double(cycle) / rate : 0.0;
    std::vector<double> paces;
    for (const cBlock& b : blocks)
        if (!pipeWire || (cycle > 0 && b.first % cycle == 0))
            paces.push_back(Seconds(b.arrival) - double(b.first) / rate);
    base = (paces.empty() ? 0 : *std::min_element(paces.begin(), paces.end())) - handOff - wakeDelay;
}

int cMonitorRecorder::BlockFrames() const {
    // Frames per hand-off, the reads that came together summed.
    std::vector<int> sizes;
    for (size_t i = 0; i < blocks.size(); ++i) {
        if (i > 0 && Seconds(blocks[i].arrival) - Seconds(blocks[i - 1].arrival) < kSameHandOff)
            sizes.back() += blocks[i].frames;
        else
            sizes.push_back(blocks[i].frames);
    }
    if (sizes.empty()) return 0;
    std::nth_element(sizes.begin(), sizes.begin() + long(sizes.size() / 2), sizes.end());
    return sizes[sizes.size() / 2];
}

cSoundClock::time_point cMonitorRecorder::HeardAt(double frame) const {
    return cSoundClock::time_point(
        std::chrono::duration_cast<cSoundClock::duration>(duration<double>(base + frame / rate)));
}

double cMonitorRecorder::FrameAt(cSoundClock::time_point heard) const { return (Seconds(heard) - base) * rate; }

int64_t cMonitorRecorder::FirstSound(int64_t from) const {
    for (size_t i = size_t(std::max<int64_t>(0, from)); i < samples.size(); ++i)
        if (std::fabs(samples[i]) > 0.01f) return int64_t(i);
    return -1;
}

// ---- Alignment -------------------------------------------------------------------

namespace {

// The render at the recording's rate (linear interpolation; the servers
// resample the layer's stream alike), mono.
std::vector<float> RenderAtRecordingRate(const cOfflineSong& song, double rate) {
    const size_t renderFrames = song.pcm.size() / 2;
    const size_t n = renderFrames < 2 ? 0 : size_t(double(renderFrames - 1) * rate / kRenderRate);
    std::vector<float> render(n);
    const auto mono = [&](size_t j) { return (song.pcm[2 * j] + song.pcm[2 * j + 1]) / 65536.0; };
    for (size_t i = 0; i < n; ++i) {
        const double at = double(i) * kRenderRate / rate;
        const size_t k = std::min(size_t(at), renderFrames - 2);
        const double f = at - double(k);
        render[i] = float(mono(k) * (1 - f) + mono(k + 1) * f);
    }
    return render;
}

std::vector<float> Slice(const std::vector<float>& x, long from, long to) {
    std::vector<float> s;
    for (long i = std::max(0L, from); i < std::min(long(x.size()), to); ++i) s.push_back(x[size_t(i)]);
    return s;
}

}  // namespace

double AlignRender(const cMonitorRecorder& recorder, const cOfflineSong& song, double from, double to) {
    const std::vector<float>& recording = recorder.Samples();
    const std::vector<float> render = RenderAtRecordingRate(song, recorder.Rate());
    const int window = recorder.Rate() / 1000;  // 1 ms
    // Coarse: loudness per millisecond, at least half a second in common (or
    // silence would match silence); fine: the samples near that. A server
    // that drops or inserts audio lowers the match; each event is found on
    // its own afterwards (HeardErrors), so this only has to come near.
    double score;
    const double coarse = BestLag(Envelope(recording, window), Envelope(render, window), long(from / window),
                                  long(to / window), 500, score);
    if (std::isnan(coarse) || score < 0.5) return std::numeric_limits<double>::quiet_NaN();
    const long centre = long(coarse) * window;
    const double fine = BestLag(recording, render, centre - 2 * window, centre + 2 * window, 500 * window, score);
    return std::isnan(fine) ? double(centre) : fine;
}

double AlignSongStart(const cMonitorRecorder& recorder, const cOfflineSong& song) {
    const int64_t first = recorder.FirstSound();
    if (first < 0) return std::numeric_limits<double>::quiet_NaN();
    const double rate = recorder.Rate();
    return AlignRender(recorder, song, double(first) - 0.2 * rate, double(first) + 0.2 * rate);
}

// ---- Errors ----------------------------------------------------------------------

double cHeardErrors::Mean() const {
    double sum = 0;
    for (double e : ms) sum += std::fabs(e);
    return ms.empty() ? 1e9 : sum / double(ms.size());
}

double cHeardErrors::SignedMean() const {
    double sum = 0;
    for (double e : ms) sum += e;
    return ms.empty() ? 1e9 : sum / double(ms.size());
}

double cHeardErrors::Worst() const {
    double worst = 0;
    for (double e : ms)
        if (std::fabs(e) > std::fabs(worst)) worst = e;
    return ms.empty() ? 1e9 : worst;
}

std::string cHeardErrors::Summary(const char* what) const {
    char text[200];
    std::snprintf(text, sizeof text, "%zu %s: mean %+.2f ms (|mean| %.2f), worst %+.2f ms, %d not found", ms.size(),
                  what, SignedMean(), Mean(), Worst(), unheard);
    return text;
}

cHeardErrors HeardErrors(const std::vector<cSoundClock::time_point>& observed, const std::vector<int64_t>& frames,
                         const cMonitorRecorder& recorder, const cOfflineSong& song, double start) {
    // Each event's own sound is looked for near where the whole song lies:
    // a server that drops or inserts audio moves what follows, and so when
    // it is heard.
    const double rate = recorder.Rate();
    const int window = recorder.Rate() / 1000;  // 1 ms
    const std::vector<float> render = RenderAtRecordingRate(song, rate);
    const std::vector<float>& recording = recorder.Samples();
    const long search = long(0.2 * rate), before = long(0.01 * rate), after = long(0.04 * rate);
    cHeardErrors e;
    for (size_t i = 0; i < observed.size() && i < frames.size(); ++i) {
        const long at = long(double(frames[i]) * rate / kRenderRate);
        const long expected = long(start) + at;
        if (expected - search < 0 || expected + search + after > long(recording.size())) continue;
        // The render around the event, found in the recording: loudness per
        // millisecond first, then the samples.
        const long lead = std::min(before, at);
        const std::vector<float> piece = Slice(render, at - lead, at + after);
        const std::vector<float> near = Slice(recording, expected - search - before, expected + search + after);
        double score;
        const double coarse = BestLag(Envelope(near, window), Envelope(piece, window), 0,
                                      long(near.size() - piece.size()) / window, long(piece.size()) / window, score);
        if (std::isnan(coarse) || score < 0.8) {
            ++e.unheard;
            continue;
        }
        const long centre = long(coarse) * window;
        const double fine = BestLag(near, piece, centre - 2 * window, centre + 2 * window, long(piece.size()), score);
        if (std::isnan(fine) || score < 0.8) {
            ++e.unheard;
            continue;
        }
        const double heardFrame = double(expected - search - before) + fine + double(lead);
        e.ms.push_back(duration<double, std::milli>(observed[i] - recorder.HeardAt(heardFrame)).count());
    }
    return e;
}
