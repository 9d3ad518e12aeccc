// Capture music: offline rendering, audio hand-over by frame range, events
// released on the frame clock.
#include "capture/capture_music.h"

#include "base/beat.h"
#include "capture/capture_clock.h"
#include "core/music.h"
#include "sound/offline.h"

#include <algorithm>

namespace {

// Stereo frames rendered per step.
constexpr int kBlock = 4096;
// A song whose first pass has not ended after an hour does not end.
constexpr int64_t kLongestPass = int64_t(3600) * kCaptureRate;

}  // namespace

cCaptureMusic::~cCaptureMusic() {
    if (song) FMUSIC_FreeSong(song);
}

bool cCaptureMusic::Load(const char* file, std::string& error) {
    song = LoadOfflineSong(file, kCaptureRate);
    if (!song) error = SoundErrorText(unsigned(FSOUND_GetError()));
    return song != nullptr;
}

int64_t cCaptureMusic::Render(int64_t first, int64_t end, const cAudioSink& audio) {
    const int64_t firstSample = FrameSample(first, fps, kCaptureRate);
    int64_t endSample = end >= 0 ? FrameSample(end, fps, kCaptureRate) : -1;
    int64_t position = 0;  // samples rendered so far
    std::vector<int16_t> block(2 * kBlock);
    while (endSample < 0 || position < endSample) {
        const int frames = endSample < 0 ? kBlock : int(std::min<int64_t>(kBlock, endSample - position));
        RenderOfflineSong(song, block.data(), frames, events);
        if (endSample < 0 && FirstPassEnd(song) >= 0) {
            // The first frame at or after the end of the pass: its audio may
            // take a few samples of the second pass, rendered next if needed.
            end = std::max(first, (FirstPassEnd(song) * fps + kCaptureRate - 1) / kCaptureRate);
            endSample = FrameSample(end, fps, kCaptureRate);
        }
        // The part of this block inside [firstSample, endSample).
        const int64_t from = std::max(position, firstSample);
        const int64_t to = endSample < 0 ? position + frames : std::min(position + frames, endSample);
        if (audio && from < to && !audio(block.data() + 2 * (from - position), int(to - from))) return -1;
        position += frames;
        if (endSample < 0 && position >= kLongestPass) return -1;
    }
    return end;
}

void cCaptureMusic::AdvanceTo(int64_t frame) {
    // The last sample the frame hears (HeardBy).
    replay.ReleaseThrough(song, events, frame * kCaptureRate / fps, kCaptureRate);
    gSongTime.store(FrameTime(frame, fps), std::memory_order_relaxed);
}
