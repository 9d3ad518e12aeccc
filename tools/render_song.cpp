// render_song: renders the first pass of an XM module to a 16-bit stereo WAV
// file with the sound layer's offline renderer, to listen to the music and
// measure its levels offline.
//
//   render_song <module.xm> <out.wav> [mixing rate 4000..48000, default 44100]
//
// Rendering stops where the module loops back to its restart position.
#include "sound/renderer.h"
#include "sound/sound.h"
#include "sound/wav_file.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// Frames rendered per call.
constexpr int kBlockFrames = 4096;
// A module whose first pass has not ended after an hour never loops back.
constexpr int64_t kLongestSeconds = 3600;

int Fail(const char* what, const char* name) {
    std::fprintf(stderr, "render_song: %s %s\n", what, name);
    return 1;
}

}  // namespace

// Renders the module given to the WAV file given.
int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: render_song <module.xm> <out.wav> [rate]\n");
        return 2;
    }
    const int rate = argc > 3 ? std::atoi(argv[3]) : 44100;
    cRenderer renderer;
    if (renderer.LoadFile(argv[1]) != SOUND_ERR_NONE) return Fail("cannot load", argv[1]);
    if (!renderer.Start(rate)) return Fail("cannot start the player at this rate:", argc > 3 ? argv[3] : "44100");
    cWavFile wav;
    if (!wav.Open(argv[2], rate, 2)) return Fail("cannot write", argv[2]);

    std::vector<int16_t> block(size_t(kBlockFrames) * 2);
    std::vector<cSoundEvent> events;  // not wanted here
    int64_t written = 0;
    bool ok = true;
    while (ok && (renderer.FirstPassEnd() < 0 || written < renderer.FirstPassEnd())) {
        if (renderer.Position() > kLongestSeconds * rate) {
            wav.Close();
            std::remove(argv[2]);
            return Fail("the first pass does not end within an hour:", argv[1]);
        }
        renderer.Render(block.data(), kBlockFrames, events);
        events.clear();
        const int64_t end = renderer.FirstPassEnd() < 0 ? renderer.Position()
                                                         : std::min(renderer.Position(), renderer.FirstPassEnd());
        const int64_t start = renderer.Position() - kBlockFrames;
        if (end > written) ok = wav.Write(block.data() + (written - start) * 2, end - written);
        written = std::max(written, end);
    }
    if (!wav.Close() || !ok) return Fail("cannot write", argv[2]);
    std::printf("%s: %.2f s at %d Hz\n", argv[2], double(written) / rate, rate);
    return 0;
}
