// The listening module, its offline render, and the layer played and
// watched as the demo does.
#include "sound/listening.h"

#include "sound/renderer.h"

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <random>
#include <thread>

namespace {

// A 32-value square wave, looped, so that it sounds as long as its note.
cXmInstrument SquareWave(const std::string& name, int8_t amplitude) {
    cXmSample square;
    square.name = name;
    for (int i = 0; i < 32; ++i) square.data8.push_back(int8_t(i < 16 ? amplitude : -amplitude));
    square.loop = cXmLoop::kForward;
    square.loopLength = 32;
    cXmInstrument instrument;
    instrument.name = name;
    instrument.samples.push_back(square);
    return instrument;
}

std::mutex gMutex;
cPlayRecord* gRecord = nullptr;

void OnInstrument(FMUSIC_MODULE*, unsigned char) {
    const cSoundClock::time_point now = cSoundClock::now();
    std::lock_guard<std::mutex> lock(gMutex);
    if (gRecord) gRecord->calls.push_back(now);
}

}  // namespace

std::vector<int64_t> cOfflineSong::Frames(cSoundEvent::cKind kind) const {
    std::vector<int64_t> frames;
    for (const cSoundEvent& e : events)
        if (e.kind == kind && (kind == cSoundEvent::cKind::kTrigger || e.order != 0)) frames.push_back(e.sample);
    return frames;
}

cOfflineSong RenderOffline(const cXmModule& module, double seconds) {
    const std::vector<uint8_t> bytes = EncodeXm(module);
    cRenderer renderer;
    cOfflineSong song;
    if (renderer.LoadMemory(bytes.data(), bytes.size()) != 0 || !renderer.Start(cOfflineSong::kRate)) return song;
    const int frames = int(seconds * cOfflineSong::kRate);
    song.pcm.resize(2 * size_t(frames));
    renderer.Render(song.pcm.data(), frames, song.events);
    return song;
}

cXmModule ListeningModule(double seconds, unsigned seed) {
    constexpr int kRows = 16, kSpeed = 3, kBpm = 150;  // 50 ms rows
    const int rowsNeeded = int(seconds / 0.05) + kRows;
    const int patterns = (rowsNeeded + kRows - 1) / kRows;
    cXmModule m;
    m.name = "listening";
    m.channels = 2;
    m.speed = kSpeed;
    m.bpm = kBpm;
    for (int i = 0; i < patterns; ++i) {
        m.patterns.emplace_back(kRows, 2);
        m.orders.push_back(uint8_t(i));
    }
    for (int i = 1; i <= 4; ++i) m.instruments.push_back(SquareWave("voice " + std::to_string(i), int8_t(20 * i + 10)));
    std::mt19937 random(seed);
    m.patterns[0].At(0, 0) = {XmNote(4, 0), 4, 0, 0, 0};
    for (int row = 1; row < patterns * kRows; ++row)
        for (int channel = 0; channel < 2; ++channel) {
            cXmCell& c = m.patterns[size_t(row / kRows)].At(row % kRows, channel);
            const unsigned roll = random() % 8;
            if (roll < 3) {
                c.note = XmNote(3 + int(random() % 3), int(random() % 12));
                c.instrument = uint8_t(1 + random() % 4);
                if (random() % 3 == 0) c.effect = 0x0e, c.param = uint8_t(0xd1 + random() % 2);
            } else if (roll == 3) {
                c.note = kXmKeyOff;
            }
        }
    return m;
}

std::string OpenLayer(cPlayRecord& record) {
    FSOUND_Close();
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
