// The timeline's effect objects, their start-up preparation and their steps.
//
// The objects are defined here, in one place, so they are constructed in this
// order before the entry point runs (and destroyed in the reverse order after
// the window is gone): the intro, the fogged wave tunnel, the scrolling road,
// the gear cluster, the bulging wave tunnel, the beat picture overlay, the
// cube rings, the model scene. The 3DS chunk handlers register before all of
// them, so their lines come first in the log.
#include "timeline/scene_effects.h"

#include "effects/cube_rings.h"
#include "effects/gears.h"
#include "effects/intro.h"
#include "effects/mask_overlay.h"
#include "effects/road.h"
#include "effects/wave_tunnel.h"
#include "model3ds/model_scene.h"

// ---- Effect objects, in construction order ---------------------------------
// [model3ds] chunk handler registry and its 13 handlers register first.
cIntro gIntro;
cWaveTunnel gFoggedTunnel;
cRoad gRoad;
cGears gGears;
cWaveTunnel gBulgingTunnel;
cMaskOverlay gOverlay;
cCubeRings gCubeRings;
cModelScene gModelScene;

// Prepare the effects that load data
void PrepareEffects() {
    LoadIntro(gIntro);
    gOverlay.LoadPairs();
    LoadModelScene(gModelScene);
}

// Restart the effects' own state
void RestartEffects() { ResetIntro(gIntro); }

// ---- Steps: how a composition draws each effect ----------------------------

// Draw the intro
void IntroStep(double t) {
    DrawIntro(gIntro, t);
}

// Draw the fogged wave tunnel
void FoggedTunnelStep(double t) {
    gFoggedTunnel.DrawFogged(t);
}

// Draw the bulging wave tunnel
void BulgingTunnelStep(double t) {
    gBulgingTunnel.DrawBulging(t);
}

// Draw the scrolling road
void RoadStep(double t) {
    gRoad.Draw(t);
}

// Draw the gear cluster
void GearsStep(double t) {
    gGears.Draw(t);
}

// Draw the beat pictures
void OverlayStep() {
    gOverlay.draw();
}

// Draw the cube rings
void CubeRingsStep(double t) {
    gCubeRings.Draw(t);
}

// Draw the model scene
void ModelSceneStep(double t) {
    DrawModelScene(gModelScene, t);
}
