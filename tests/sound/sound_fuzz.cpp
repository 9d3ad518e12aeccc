// libFuzzer target for the sound layer: any bytes are loaded as a module
// into the record behind a song handle, a callback is installed on every
// instrument, and the song is rendered for two seconds block by block
// through the offline playback calls, with its stamped events released as a
// capture releases them. Runs under ASan + UBSan. The layer plays XM only
// and refuses any other bytes before libxmp sees them, so what is fuzzed
// here is libxmp's XM loader and player behind the layer: the inputs worth
// keeping begin with the XM header text, "Extended Module: ".
//
// Besides the sanitizers' findings it stops on an event the layer must never
// stamp: out of order, outside the block that rendered it, on a channel or
// instrument the module does not have, or an order change that the reported
// order does not follow.
//
// The bytes go to the renderer from memory rather than through a file, and
// mixing runs at the lowest rate the layer accepts: the triggers and order
// changes are stamped per tick whatever the rate, so both only save time.
#include "sound/module.h"
#include "sound/offline.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kRate = 4000;
constexpr int kBlockFrames = kRate / 25;  // one video frame at 25 fps
constexpr int kSeconds = 2;

int gCallbacks = 0;
void CountCallback(FMUSIC_MODULE*, unsigned char) { ++gCallbacks; }

void Check(bool holds) {
    if (!holds) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // What LoadOfflineSong does after reading the file.
    FMUSIC_MODULE* song = new FMUSIC_MODULE;
    if (song->renderer.LoadMemory(data, size) != SOUND_ERR_NONE || !song->renderer.Start(kRate)) {
        FMUSIC_FreeSong(song);
        return 0;
    }

    // Every instrument number the layer could report; those the module
    // lacks are refused.
    int installed = 0;
    for (int instrument = 1; instrument <= 255; ++instrument)
        installed += FMUSIC_SetInstCallback(song, CountCallback, instrument) == 1;

    std::vector<int16_t> pcm(2 * kBlockFrames);
    std::vector<cSoundEvent> events;
    int64_t start = 0, last = 0;
    int triggers = 0;
    gCallbacks = 0;
    for (int block = 0; block < kSeconds * 25; ++block, start += kBlockFrames) {
        events.clear();
        RenderOfflineSong(song, pcm.data(), kBlockFrames, events);
        for (const cSoundEvent& e : events) {
            Check(e.sample >= start && e.sample < start + kBlockFrames && e.sample >= last);
            last = e.sample;
            if (e.kind == cSoundEvent::cKind::kTrigger) {
                Check(e.instrument >= 1 && e.instrument <= 255 && e.channel >= 0 && e.channel < 64);
                triggers += e.instrument <= installed;
            }
            ReleaseSongEvent(song, e);
            if (e.kind == cSoundEvent::cKind::kOrder) Check(FMUSIC_GetOrder(song) == e.order && e.order >= 0);
        }
    }
    // Each trigger of an instrument with a callback ran it once.
    Check(gCallbacks == triggers);
    FMUSIC_FreeSong(song);
    return 0;
}
