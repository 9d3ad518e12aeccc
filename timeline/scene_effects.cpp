// The timeline's effect objects, their start-up preparation and their steps.
//
// The objects are defined here, in one place, so they are constructed in this
// order before the entry point runs (and destroyed in the reverse order after
// the window is gone): the intro's image and texture, the fogged wave tunnel,
// the scrolling road, the gear cluster, the bulging wave tunnel, the beat
// picture overlay, the cube rings, the model scene. The 3DS chunk handlers
// register before all of them, so their lines come first in the log.
//
// An effect joins the demo with one line in each marked place below: its
// object, its preparation (if it loads data) and its draw call. Until then
// its step draws nothing, and the compositions around it still make all
// their own state changes.
#include "timeline/scene_effects.h"

// Effect headers go here.

// --- Effect objects, in construction order --------------------------------
// [model3ds] chunk handler registry and its 13 handlers register first.
// [intro]    the intro's cImage and cTexture; one cIntro.
// [tunnel]   cWaveTunnel gFoggedTunnel;
// [road]     cRoad gRoad;
// [gears]    cGears gGears;
// [tunnel]   cWaveTunnel gBulgingTunnel;
// [overlay]  cMaskOverlay gOverlay;
// [rings]    cCubeRings gCubeRings;
// [model]    cModelScene gModelScene;

// Prepare the effects that load data
void PrepareEffects() {
    // [intro]   LoadIntro(gIntro);
    // [overlay] gOverlay.LoadPairs();
    // [model]   LoadModelScene(gModelScene);
}

// --- Steps: how a composition draws each effect ----------------------------

// Draw the intro
void IntroStep(double t) {
    (void)t;  // [intro] DrawIntro(gIntro, t);
}

// Draw the fogged wave tunnel
void FoggedTunnelStep(double t) {
    (void)t;  // [tunnel] gFoggedTunnel.DrawFogged(t);
}

// Draw the bulging wave tunnel
void BulgingTunnelStep(double t) {
    (void)t;  // [tunnel] gBulgingTunnel.DrawBulging(t);
}

// Draw the scrolling road
void RoadStep(double t) {
    (void)t;  // [road] gRoad.Draw(t);
}

// Draw the gear cluster
void GearsStep(double t) {
    (void)t;  // [gears] gGears.Draw(t);
}

// Draw the beat pictures
void OverlayStep() {
    // [overlay] gOverlay.Draw();
}

// Draw the cube rings
void CubeRingsStep(double t) {
    (void)t;  // [rings] gCubeRings.Draw(t);
}

// Draw the model scene
void ModelSceneStep(double t) {
    (void)t;  // [model] DrawModelScene(gModelScene, t);
}
