// StartDemo, RestoreDemoGl and EndDemo.
#include "core/demo_core.h"

#include "base/beat.h"
#include "base/gl_recreation.h"
#include "core/music.h"
#include "timeline/scene_effects.h"

#include <GL/gl.h>

// Start the demo
void StartDemo(FMUSIC_MODULE* song, cPresenter presenter) {
    gSong = song;
    PrepareEffects();
    for (int instrument : kBeatInstruments) FMUSIC_SetInstCallback(gSong, OnBeatInstrument, instrument);
    SetPresenter(presenter);
    glClearColor(0, 0, 0, 0);
}

// Make the GL objects again in a new context
void RestoreDemoGl() {
    RecreateGlObjects();
    glClearColor(0, 0, 0, 0);
}

// End the demo
void EndDemo() {
    SetPresenter(nullptr);
    gSong = nullptr;
}
