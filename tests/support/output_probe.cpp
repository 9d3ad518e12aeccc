// Output probe: wrappers of SDL_OpenAudioDevice and pa_stream_write that
// time every buffer.
#include "tests/support/output_probe.h"

#include <SDL.h>
#include <dlfcn.h>
#if VK_HAVE_PULSE
#include <pulse/pulseaudio.h>
#endif

#include <algorithm>
#include <mutex>
#include <vector>

namespace {

using outputprobe::cClock;

struct cBuffer {
    cClock::time_point taken;
    bool sounding;        // any sample not zero
    int64_t index = -1;   // Pulse: the stream frame it starts at; SDL: -1, heard when taken
};

// A Pulse server's timing report: at `at` the sink read the stream's frame
// `read` and plays what it reads `sink` seconds later.
struct cReport {
    cClock::time_point at;
    int64_t read;
    double sink;
};

std::mutex gMutex;
std::vector<cBuffer> gTaken;  // buffer k as it was handed over
std::vector<cReport> gReports;  // of the current Pulse stream, in order
int gStreamRate = 0;
SDL_AudioCallback gInner = nullptr;
int gBufferFrames = 0;

bool Sounding(const void* data, size_t bytes) {
    const int16_t* samples = static_cast<const int16_t*>(data);
    return std::any_of(samples, samples + bytes / sizeof(int16_t), [](int16_t v) { return v != 0; });
}

void SDLCALL TimeBuffer(void* userdata, Uint8* stream, int len) {
    gInner(userdata, stream, len);
    const cClock::time_point now = cClock::now();
    std::lock_guard<std::mutex> lock(gMutex);
    gTaken.push_back({now, Sounding(stream, size_t(len))});
    gBufferFrames = len / 4;
}

// When buffer k (a Pulse one) is heard, by the server's reports that came
// after it was handed over: each places it at the report's moment plus the
// sink's latency plus the frames ahead of it from the read position. The
// median of the first three, because a report taken while the null sink's
// thread is late to wake (on a busy machine) shows too short a sink latency.
// max() when fewer reports have come.
cClock::time_point HeardFromReports(const cBuffer& b) {
    std::vector<cClock::time_point> heard;
    for (const cReport& r : gReports) {
        if (r.at < b.taken) continue;
        const std::chrono::duration<double> wait(r.sink + double(b.index - r.read) / gStreamRate);
        heard.push_back(r.at + std::chrono::duration_cast<cClock::duration>(wait));
        if (heard.size() == 3) break;
    }
    if (heard.size() < 3) return cClock::time_point::max();
    std::sort(heard.begin(), heard.end());
    return heard[1];
}

cClock::time_point Heard(size_t k) {
    const cBuffer& b = gTaken[k];
    return b.index < 0 ? b.taken : HeardFromReports(b);
}

}  // namespace

// Reached by the sound layer's call in this program instead of SDL's.
extern "C" SDL_AudioDeviceID SDL_OpenAudioDevice(const char* device, int iscapture, const SDL_AudioSpec* desired,
                                                 SDL_AudioSpec* obtained, int allowed_changes) {
    using cOpen = SDL_AudioDeviceID (*)(const char*, int, const SDL_AudioSpec*, SDL_AudioSpec*, int);
    static const cOpen sdlOpen = reinterpret_cast<cOpen>(dlsym(RTLD_NEXT, "SDL_OpenAudioDevice"));
    SDL_AudioSpec timed = *desired;
    gInner = desired->callback;
    timed.callback = TimeBuffer;
    const SDL_AudioDeviceID id = sdlOpen(device, iscapture, &timed, obtained, allowed_changes);
    std::lock_guard<std::mutex> lock(gMutex);
    gBufferFrames = obtained ? obtained->samples : desired->samples;
    return id;
}

#if VK_HAVE_PULSE
// Reached by the layer's Pulse output instead of libpulse's; runs on the
// stream's main loop thread, as the layer's writes do. Counts the stream's
// frames itself and keeps every new timing report the server has sent.
extern "C" int pa_stream_write(pa_stream* s, const void* data, size_t nbytes, pa_free_cb_t freeCb, int64_t offset,
                               pa_seek_mode_t seek) {
    using cWrite = int (*)(pa_stream*, const void*, size_t, pa_free_cb_t, int64_t, pa_seek_mode_t);
    static const cWrite write = reinterpret_cast<cWrite>(dlsym(RTLD_NEXT, "pa_stream_write"));
    static pa_stream* stream = nullptr;
    static int64_t written = 0;
    const cClock::time_point now = cClock::now();
    const size_t frameBytes = pa_frame_size(pa_stream_get_sample_spec(s));
    std::lock_guard<std::mutex> lock(gMutex);
    if (s != stream) {
        stream = s;
        written = 0;
        gReports.clear();
        gStreamRate = int(pa_stream_get_sample_spec(s)->rate);
    }
    const pa_timing_info* t = pa_stream_get_timing_info(s);
    if (t && t->playing && !t->read_index_corrupt) {
        // The report's moment is on the system clock.
        const auto reported = std::chrono::system_clock::time_point(std::chrono::seconds(t->timestamp.tv_sec) +
                                                                    std::chrono::microseconds(t->timestamp.tv_usec));
        const cClock::time_point at =
            now + std::chrono::duration_cast<cClock::duration>(reported - std::chrono::system_clock::now());
        if (gReports.empty() || at > gReports.back().at)
            gReports.push_back({at, t->read_index / int64_t(frameBytes), double(t->sink_usec) / PA_USEC_PER_SEC});
    }
    cBuffer buffer{now, Sounding(data, nbytes), written};
    gTaken.push_back(buffer);
    gBufferFrames = int(nbytes / frameBytes);
    written += int64_t(nbytes / frameBytes);
    return write(s, data, nbytes, freeCb, offset, seek);
}
#endif

namespace outputprobe {

size_t TakenCount() {
    std::lock_guard<std::mutex> lock(gMutex);
    return gTaken.size();
}

size_t FirstSounding(size_t first) {
    std::lock_guard<std::mutex> lock(gMutex);
    while (first < gTaken.size() && !gTaken[first].sounding) ++first;
    return first;
}

cClock::time_point Consumed(int64_t frame, size_t first, int rate) {
    std::lock_guard<std::mutex> lock(gMutex);
    const size_t k = first + size_t(frame / gBufferFrames);
    if (k >= gTaken.size()) return cClock::time_point::max();
    const cClock::time_point heard = Heard(k);
    if (heard == cClock::time_point::max()) return heard;
    const std::chrono::duration<double> offset(double(frame % gBufferFrames) / rate);
    return heard + std::chrono::duration_cast<cClock::duration>(offset);
}

double ReportedLatency(size_t k) {
    std::lock_guard<std::mutex> lock(gMutex);
    if (k >= gTaken.size()) return -1;
    const cClock::time_point heard = Heard(k);
    return heard == cClock::time_point::max() ? -1 : std::chrono::duration<double>(heard - gTaken[k].taken).count();
}

int BufferFrames() {
    std::lock_guard<std::mutex> lock(gMutex);
    return gBufferFrames;
}

}  // namespace outputprobe
