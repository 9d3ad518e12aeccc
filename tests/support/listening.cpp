// The layer played and watched as the demo does.
#include "tests/support/listening.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <thread>

namespace {

std::mutex gMutex;
cPlayRecord* gRecord = nullptr;

void OnInstrument(FMUSIC_MODULE*, unsigned char) {
    const cSoundClock::time_point now = cSoundClock::now();
    std::lock_guard<std::mutex> lock(gMutex);
    if (gRecord) gRecord->calls.push_back(now);
}

}  // namespace

std::string OpenLayer(cPlayRecord& record) {
    FSOUND_Close();
    unsetenv("SDL_AUDIODRIVER");
    record.init = cSoundClock::now();
    if (FSOUND_Init(22050, 16, 2) != 1) return "FSOUND_Init failed with error " + std::to_string(FSOUND_GetError());
    return "";
}

FMUSIC_MODULE* LoadListened(const cXmModule& module, cPlayRecord& record) {
    char dir[] = "/tmp/vk-listening-XXXXXX";
    if (!mkdtemp(dir)) return nullptr;
    const std::string path = std::string(dir) + "/listening.xm";
    FMUSIC_MODULE* song = WriteXmFile(module, path) ? FMUSIC_LoadSong(path.c_str()) : nullptr;
    std::filesystem::remove_all(dir);
    if (!song) return nullptr;
    {
        std::lock_guard<std::mutex> lock(gMutex);
        gRecord = &record;
    }
    for (int i = 1; i <= int(module.instruments.size()); ++i) FMUSIC_SetInstCallback(song, OnInstrument, i);
    return song;
}

void PlayFor(FMUSIC_MODULE* song, double seconds, cPlayRecord& record, const std::function<void(double)>& during) {
    record.play = cSoundClock::now();
    FMUSIC_PlaySong(song);
    int order = FMUSIC_GetOrder(song);
    for (;;) {
        const double played = std::chrono::duration<double>(cSoundClock::now() - record.play).count();
        if (played >= seconds) break;
        const int now = FMUSIC_GetOrder(song);
        if (now != order) record.orderChanges.push_back(cSoundClock::now());
        order = now;
        if (during) during(played);
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    FMUSIC_StopSong(song);
    std::lock_guard<std::mutex> lock(gMutex);
    gRecord = nullptr;
}
