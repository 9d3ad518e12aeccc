// DrawFrame: scene choice by music order, the beat cycle, presentation.
//
// The order is read from the sound layer afresh for every comparison (the
// module may move on between two reads; the frame then shows both scenes,
// in table order). Depends on the sound layer's FMUSIC_GetOrder, the shared
// beat values and the compositions.
#include "timeline/draw_frame.h"

#include "base/beat.h"
#include "sound/sound.h"
#include "timeline/beat_flash.h"
#include "timeline/compositions.h"
#include "timeline/present.h"
#include "timeline/scene_effects.h"

#include <GL/gl.h>

namespace {

// Centre of the fixed flash drawn on every frame, in song seconds.
constexpr double kFixedFlashTime = 24.0;
// Number of compositions the beat cycle steps through.
constexpr int kCycleLength = 7;

// The module's current order, read now.
int Order() { return FMUSIC_GetOrder(gSong); }

// True when the order lies in [low, high]: the upper bound is read first and
// the lower one only if that holds.
bool OrderWithin(int low, int high) { return Order() <= high && Order() >= low; }

// Late in the song each beat moves on to the next composition: 1, 2, ..., 7,
// 1, ...; the beat pictures go on top of every one.
void DrawBeatCycle() {
    int r = BeatCount() % kCycleLength;
    if (r < 0) r += kCycleLength;
    switch (r) {
        case 1: Composition1(); break;
        case 2: Composition2(); break;
        case 3: Composition3(); break;
        case 4: Composition4(); break;
        case 5: Composition5(); break;
        case 6: Composition6(); break;
        default: Composition7(); break;
    }
    OverlayStep();
}

// Clears and draws the frame's scene and the fixed flash.
void DrawScene() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(0, 0, -3.0f);

    // Each test stands on its own; order 1 matches none and stays cleared.
    if (Order() <= 0) IntroStep(SongTime());
    if (Order() == 2) Composition1();
    if (Order() == 3) Composition2();
    if (OrderWithin(4, 5)) Composition3();
    if (OrderWithin(6, 9)) Composition4();
    if (OrderWithin(10, 13)) Composition5();
    if (OrderWithin(14, 15)) Composition6();
    if (OrderWithin(16, 17)) Composition7();
    if (Order() >= 18) DrawBeatCycle();

    DrawBeatFlash(SongTime(), kFixedFlashTime);
}

}  // namespace

// Draw and present one frame
int DrawFrame() {
    DrawScene();
    PresentFrame();
    return 1;
}

// Draw a frame for its state only
void DrawUnseenFrame() {
    const GLboolean scissoring = glIsEnabled(GL_SCISSOR_TEST);
    GLint box[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_SCISSOR_BOX, box);
    glScissor(0, 0, 0, 0);
    glEnable(GL_SCISSOR_TEST);
    DrawScene();
    glScissor(box[0], box[1], box[2], box[3]);
    if (!scissoring) glDisable(GL_SCISSOR_TEST);
}
