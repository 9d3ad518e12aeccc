// The effects the timeline draws: one process-wide object per effect, how
// each is prepared at start-up and how a composition draws it.
//
// Every step draws that effect's one object with the song time t (the beat
// pictures read the beat count themselves). Unit tests of the timeline link
// a double of these steps that marks where each ran.
#pragma once

// Prepares the effects that load data, in start-up order: the intro, the beat
// pictures, the model scene. Needs the window's GL context; results unchecked.
void PrepareEffects();

// Opening scene: the intro picture (orders 0 and below).
// The effects' own state as start-up left it, for a song started over:
// the intro's light runs down from the start again.
void RestartEffects();
void IntroStep(double t);
// Wave tunnel with fog (compositions 1, 2, 3, 5, 6, 7).
void FoggedTunnelStep(double t);
// Second wave tunnel, bulging (composition 4).
void BulgingTunnelStep(double t);
// Scrolling road (compositions 2, 3).
void RoadStep(double t);
// Gear cluster (composition 3).
void GearsStep(double t);
// Beat picture overlay (composition 4 and the beat cycle).
void OverlayStep();
// Cube rings (compositions 5, 6, 7).
void CubeRingsStep(double t);
// Model scene (compositions 6, 7).
void ModelSceneStep(double t);
