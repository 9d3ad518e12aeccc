// StartDemo, RestoreDemoGl and EndDemo.
#include "core/demo_core.h"

#include "base/beat.h"
#include "base/gl_recreation.h"
#include "core/music.h"
#include "timeline/scene_effects.h"

#include <GL/gl.h>

namespace {

// Every attribute group the frames change, but not the viewport, which
// follows the window's size.
constexpr GLbitfield kCarriedGl = GL_ALL_ATTRIB_BITS & ~GLbitfield(GL_VIEWPORT_BIT);

// Keeps the GL state as start-up leaves it on the attribute stack, where
// ResetCarriedGl finds it; in each context, once its objects are made.
void KeepStartGl() { glPushAttrib(kCarriedGl); }

}  // namespace

// Start the demo
void StartDemo(FMUSIC_MODULE* song, cPresenter presenter) {
    gSong = song;
    PrepareEffects();
    for (int instrument : kBeatInstruments) FMUSIC_SetInstCallback(gSong, OnBeatInstrument, instrument);
    SetPresenter(presenter);
    glClearColor(0, 0, 0, 0);
    KeepStartGl();
}

// Make the GL objects again in a new context
void RestoreDemoGl() {
    RecreateGlObjects();
    glClearColor(0, 0, 0, 0);
    KeepStartGl();
}

// Back to the GL state of start-up
void ResetCarriedGl(bool intro) {
    glPopAttrib();
    KeepStartGl();
    if (intro) return;
    glDisable(GL_BLEND);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
}

// End the demo
void EndDemo() {
    SetPresenter(nullptr);
    gSong = nullptr;
}
