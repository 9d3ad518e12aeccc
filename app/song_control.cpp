// The song's start, jumps and pause, on the sound layer, the song's map and
// the main loop's clock.
#include "app/song_control.h"

#include "base/beat.h"
#include "core/song_jump.h"
#include "core/song_map.h"
#include "sound/song_seek.h"
#include "timeline/draw_frame.h"

#include <X11/keysym.h>

#include <cmath>
#include <cstdio>

namespace {

// ---- Module state ----------------------------------------------------------

struct cSongControl {
    const char* file = nullptr;
    int rate = 0;
    cFrameClock* clock = nullptr;
    cSongMap map;
    bool tried = false;      // the map was loaded, or could not be
    bool mapped = false;     // the map is loaded
    bool paused = false;
    int64_t from = 0;        // the frame the music last started from, or holds at
} gControl;

// ---- Local helpers ---------------------------------------------------------

// The song's map, loaded on first use; null when the module cannot be read.
cSongMap* Map() {
    if (!gControl.tried) {
        gControl.tried = true;
        gControl.mapped = gControl.map.Load(gControl.file, gControl.rate);
        if (!gControl.mapped) std::fprintf(stderr, "vindelkrok: %s: the song cannot be mapped; no jumps\n", gControl.file);
    }
    return gControl.mapped ? &gControl.map : nullptr;
}

// The frame heard now, or held.
int64_t CurrentFrame() {
    if (gControl.paused) return gControl.from;
    const int64_t heard = FMUSIC_GetHeardFrame(gSong);
    return heard >= 0 ? heard : gControl.from;
}

// Plays on from the frame and sets the clock to it.
void PlayFrom(int64_t frame) {
    FMUSIC_PlaySongFrom(gSong, frame);
    gControl.from = frame;
    SetSongClock(*gControl.clock, WallClock(), double(frame) / gControl.rate);
}

// Brings the demo to frame; plays on from it unless paused, and then shows it.
void JumpTo(cSongMap& map, int64_t frame) {
    FMUSIC_StopSong(gSong);  // no callback runs while the beats are set
    CatchUpTo(map, frame);
    if (!gControl.paused) {
        PlayFrom(frame);
        return;
    }
    gControl.from = frame;
    DrawFrame();
}

// Pauses at the frame heard now, or resumes from the held one.
void TogglePause() {
    if (!gControl.paused) {
        gControl.from = CurrentFrame();
        FMUSIC_StopSong(gSong);
        gControl.paused = true;
        // The picture held is this moment's, also after jumps no frame showed.
        DrawFrame();
        return;
    }
    gControl.paused = false;
    // Frames were not counted while paused: start counting afresh.
    StartClock(*gControl.clock, WallClock());
    if (cSongMap* map = Map())
        JumpTo(*map, gControl.from);
    else
        PlayFrom(gControl.from);  // the music on at least, as it was heard
}

}  // namespace

// ---- Public functions ------------------------------------------------------

// Prepare the start of the song
void PrepareSong(const char* file, int rate, cFrameClock& clock, double start) {
    gControl.file = file;
    gControl.rate = rate;
    gControl.clock = &clock;
    gControl.from = int64_t(std::floor(start * rate));
    if (gControl.from > 0) {
        if (cSongMap* map = Map())
            CatchUpTo(*map, gControl.from);
        else
            gControl.from = 0;
    }
}

// Start the song
void StartSong() {
    if (gControl.from == 0) {
        FMUSIC_PlaySong(gSong);  // as always: what the first frame holds is heard with it
        StartClock(*gControl.clock, WallClock());
        return;
    }
    StartClock(*gControl.clock, WallClock());
    PlayFrom(gControl.from);
}

// Act on a key that moves through the song
bool HandleSongKey(KeySym key) {
    if (key == XK_space) {
        TogglePause();
        return true;
    }
    if (key != XK_Right && key != XK_Left && key != XK_Home) return false;
    cSongMap* map = Map();
    if (!map) return true;
    const int64_t now = CurrentFrame();
    int64_t target = 0;
    if (key == XK_Right) {
        target = map->NextOrderStart(now);
        if (target < 0) return true;  // no order follows within the map
    } else if (key == XK_Left) {
        target = map->OrderStart(now);
        if (now - target < gControl.rate) target = map->PreviousOrderStart(now);
    }
    JumpTo(*map, target);
    return true;
}

bool SongPaused() { return gControl.paused; }
