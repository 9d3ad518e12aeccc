// cSongMap: the song rendered offline ahead of what is asked of it.
#include "core/song_map.h"

#include "sound/offline.h"

#include <algorithm>

namespace {

// ---- Constants -------------------------------------------------------------

// Frames rendered per step: a few seconds of music, a few milliseconds' work.
constexpr int kStep = 1 << 16;
// Seconds of music the map goes to at most.
constexpr int64_t kLongestMap = 3600;

}  // namespace

// ---- Public functions ------------------------------------------------------

cSongMap::~cSongMap() {
    if (song) FMUSIC_FreeSong(song);
}

// Load the module to map
bool cSongMap::Load(const char* file, int mixRate) {
    if (song) FMUSIC_FreeSong(song);
    song = LoadOfflineSong(file, mixRate);
    rate = song ? mixRate : 0;
    rendered = 0;
    events.clear();
    orderStarts.clear();
    return song != nullptr;
}

// Events through frame
const std::vector<cSoundEvent>& cSongMap::EventsThrough(int64_t frame) {
    RenderThrough(frame);
    return events;
}

// Start of the order playing at frame
int64_t cSongMap::OrderStart(int64_t frame) {
    const int i = OrderChangeAt(frame);
    return i < 0 ? 0 : orderStarts[size_t(i)];
}

// Start of the next order
int64_t cSongMap::NextOrderStart(int64_t frame) {
    const size_t next = size_t(OrderChangeAt(frame) + 1);
    while (next >= orderStarts.size())
        if (!RenderThrough(rendered)) return -1;
    return orderStarts[next];
}

// Start of the previous order
int64_t cSongMap::PreviousOrderStart(int64_t frame) {
    const int i = OrderChangeAt(frame);
    return i < 1 ? 0 : orderStarts[size_t(i - 1)];
}

// ---- Local helpers ---------------------------------------------------------

bool cSongMap::RenderThrough(int64_t frame) {
    if (!song) return false;
    std::vector<int16_t> unheard(2 * kStep);
    while (rendered <= frame) {
        if (rendered >= kLongestMap * rate) return false;
        const size_t before = events.size();
        RenderOfflineSong(song, unheard.data(), kStep, events);
        rendered += kStep;
        for (size_t i = before; i < events.size(); ++i)
            if (events[i].kind == cSoundEvent::cKind::kOrder) orderStarts.push_back(events[i].sample);
    }
    return true;
}

int cSongMap::OrderChangeAt(int64_t frame) {
    RenderThrough(frame);
    const auto after = std::upper_bound(orderStarts.begin(), orderStarts.end(), frame);
    return int(after - orderStarts.begin()) - 1;
}
