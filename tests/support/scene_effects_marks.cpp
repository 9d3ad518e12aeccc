// Double of the timeline's effect steps: each marks in the fake GL record
// where it ran and with which time, so timeline tests see the steps in order
// among the GL calls the compositions make themselves.
#include "timeline/scene_effects.h"

#include "tests/support/fake_gl.h"

void PrepareEffects() { fakegl::Mark("PrepareEffects"); }
void IntroStep(double t) { fakegl::Mark("Intro", {t}); }
void FoggedTunnelStep(double t) { fakegl::Mark("FoggedTunnel", {t}); }
void BulgingTunnelStep(double t) { fakegl::Mark("BulgingTunnel", {t}); }
void RoadStep(double t) { fakegl::Mark("Road", {t}); }
void GearsStep(double t) { fakegl::Mark("Gears", {t}); }
void OverlayStep() { fakegl::Mark("Overlay"); }
void CubeRingsStep(double t) { fakegl::Mark("CubeRings", {t}); }
void ModelSceneStep(double t) { fakegl::Mark("ModelScene", {t}); }
