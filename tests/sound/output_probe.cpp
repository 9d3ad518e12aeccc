// Output probe: wrappers of SDL_OpenAudioDevice and pa_stream_write that
// time every buffer.
#include "tests/sound/output_probe.h"

#include <SDL.h>
#include <dlfcn.h>
#if VK_HAVE_PULSE
#include <pulse/pulseaudio.h>
#endif

#include <algorithm>
#include <mutex>
#include <vector>

namespace {

struct cBuffer {
    outputprobe::cClock::time_point heard;  // max(): no timing reported
    double latency;                         // seconds, -1 for none
    bool sounding;                          // any sample not zero
};

std::mutex gMutex;
std::vector<cBuffer> gTaken;  // buffer k as it was handed over
SDL_AudioCallback gInner = nullptr;
int gBufferFrames = 0;

bool Sounding(const void* data, size_t bytes) {
    const int16_t* samples = static_cast<const int16_t*>(data);
    return std::any_of(samples, samples + bytes / sizeof(int16_t), [](int16_t v) { return v != 0; });
}

void Record(const cBuffer& buffer, int frames) {
    std::lock_guard<std::mutex> lock(gMutex);
    gTaken.push_back(buffer);
    gBufferFrames = frames;
}

void SDLCALL TimeBuffer(void* userdata, Uint8* stream, int len) {
    gInner(userdata, stream, len);
    Record({outputprobe::cClock::now(), 0.0, Sounding(stream, size_t(len))}, len / 4);
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
// stream's main loop thread, as the layer's writes do.
extern "C" int pa_stream_write(pa_stream* s, const void* data, size_t nbytes, pa_free_cb_t freeCb, int64_t offset,
                               pa_seek_mode_t seek) {
    using cWrite = int (*)(pa_stream*, const void*, size_t, pa_free_cb_t, int64_t, pa_seek_mode_t);
    static const cWrite write = reinterpret_cast<cWrite>(dlsym(RTLD_NEXT, "pa_stream_write"));
    const outputprobe::cClock::time_point now = outputprobe::cClock::now();
    pa_usec_t latency = 0;
    int negative = 0;
    cBuffer buffer{outputprobe::cClock::time_point::max(), -1.0, Sounding(data, nbytes)};
    if (pa_stream_get_latency(s, &latency, &negative) == 0) {
        // Negative: the stream ran dry; what comes now is played at once.
        buffer.latency = negative ? 0.0 : double(latency) / PA_USEC_PER_SEC;
        buffer.heard = now + std::chrono::duration_cast<outputprobe::cClock::duration>(
                                 std::chrono::duration<double>(buffer.latency));
    }
    Record(buffer, int(nbytes / pa_frame_size(pa_stream_get_sample_spec(s))));
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
    if (k >= gTaken.size() || gTaken[k].heard == cClock::time_point::max()) return cClock::time_point::max();
    const std::chrono::duration<double> offset(double(frame % gBufferFrames) / rate);
    return gTaken[k].heard + std::chrono::duration_cast<cClock::duration>(offset);
}

double ReportedLatency(size_t k) {
    std::lock_guard<std::mutex> lock(gMutex);
    return k < gTaken.size() ? gTaken[k].latency : -1.0;
}

int BufferFrames() {
    std::lock_guard<std::mutex> lock(gMutex);
    return gBufferFrames;
}

}  // namespace outputprobe
