// Output probe: a wrapper of SDL_OpenAudioDevice that times every buffer.
#include "tests/support/output_probe.h"

#include <SDL.h>
#include <dlfcn.h>

#include <mutex>
#include <vector>

namespace {

std::mutex gMutex;
std::vector<outputprobe::cClock::time_point> gTaken;  // when SDL took buffer k
SDL_AudioCallback gInner = nullptr;
int gBufferFrames = 0;

void SDLCALL TimeBuffer(void* userdata, Uint8* stream, int len) {
    gInner(userdata, stream, len);
    const outputprobe::cClock::time_point now = outputprobe::cClock::now();
    std::lock_guard<std::mutex> lock(gMutex);
    gTaken.push_back(now);
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
    gBufferFrames = obtained ? obtained->samples : desired->samples;
    return id;
}

namespace outputprobe {

size_t TakenCount() {
    std::lock_guard<std::mutex> lock(gMutex);
    return gTaken.size();
}

cClock::time_point Consumed(int64_t frame, size_t first, int rate) {
    std::lock_guard<std::mutex> lock(gMutex);
    const size_t k = first + size_t(frame / gBufferFrames);
    if (k >= gTaken.size()) return cClock::time_point::max();
    const std::chrono::duration<double> offset(double(frame % gBufferFrames) / rate);
    return gTaken[k] + std::chrono::duration_cast<cClock::duration>(offset);
}

int BufferFrames() { return gBufferFrames; }

}  // namespace outputprobe
