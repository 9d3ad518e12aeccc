// The compositions: effects in order, with the GL state changes between them.
//
// Each composition is a short list of steps, one line per effect or state
// change. Effects do not restore the state they change (fog, blending,
// lighting, texturing, colour, line width, the modelview matrix); every step
// here is written against what the step before it leaves. Each composition
// ends with the beat flash for the last beat, a little before it (k seconds)
// so the flash is already fading when the beat is heard.
//
// An effect is drawn through its step in scene_effects.h.
#include "timeline/compositions.h"

#include "base/beat.h"
#include "timeline/beat_flash.h"
#include "timeline/scene_effects.h"

#include <GL/gl.h>

namespace {

// Clean slate for compositions that begin with the tunnel: no blending, no
// lighting and no texturing left over from the previous frame's effects.
void DisableBlendLightingTexture() {
    glDisable(GL_BLEND);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
}

// Lets the next effect draw over everything drawn so far.
void ClearDepth() { glClear(GL_DEPTH_BUFFER_BIT); }

// The flash for the last beat, k seconds before it.
void FlashBeforeBeat(double t, double k) { DrawBeatFlash(t, BeatTime() - k); }

// Compositions 5 and 6 begin alike: the fogged tunnel, the cube rings blended
// over it from the camera, and the matrix one unit further back for what
// follows.
void BlendedRingsInTunnel(double t) {
    DisableBlendLightingTexture();
    FoggedTunnelStep(t);
    glEnable(GL_BLEND);
    ClearDepth();
    glLoadIdentity();
    CubeRingsStep(t);
    ClearDepth();
    glTranslatef(0, 0, -1.0f);
}

}  // namespace

// Draw composition 1
void Composition1() {
    const double t = SongTime();
    DisableBlendLightingTexture();
    FoggedTunnelStep(t);
    FlashBeforeBeat(t, 0.1);
}

// Draw composition 2; blending, lighting and texturing stay as the previous
// frame left them
void Composition2() {
    const double t = SongTime();
    FoggedTunnelStep(t);
    ClearDepth();
    RoadStep(t);
    FlashBeforeBeat(t, 0.1);
}

// Draw composition 3; the gears are white 2-pixel lines from the camera,
// without the tunnel's fog
void Composition3() {
    const double t = SongTime();
    FoggedTunnelStep(t);
    ClearDepth();
    RoadStep(t);
    ClearDepth();
    glColor3f(1, 1, 1);
    glLineWidth(2.0f);
    glLoadIdentity();
    glDisable(GL_FOG);
    GearsStep(t);
    FlashBeforeBeat(t, 0.1);
}

// Draw composition 4
void Composition4() {
    const double t = SongTime();
    DisableBlendLightingTexture();
    BulgingTunnelStep(t);
    ClearDepth();
    OverlayStep();
    FlashBeforeBeat(t, 0.15);
}

// Draw composition 5; the cube rings are blended, from the camera
void Composition5() {
    const double t = SongTime();
    BlendedRingsInTunnel(t);
    FlashBeforeBeat(t, 0.1);
}

// Draw composition 6: composition 5 with the model
void Composition6() {
    const double t = SongTime();
    BlendedRingsInTunnel(t);
    ModelSceneStep(t);
    FlashBeforeBeat(t, 0.1);
}

// Draw composition 7; blending as the tunnel leaves it, the model where the
// rings left the matrix
void Composition7() {
    const double t = SongTime();
    DisableBlendLightingTexture();
    FoggedTunnelStep(t);
    ClearDepth();
    glLoadIdentity();
    CubeRingsStep(t);
    ClearDepth();
    ModelSceneStep(t);
    FlashBeforeBeat(t, 0.2);
}
