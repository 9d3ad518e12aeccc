// The model scene effect: the 3DS model as a flat, half-transparent blue
// shape that wobbles, spins, and jumps towards the viewer on every beat.
//
// Loading reads the model file into the level and records the whole model,
// scaled down, into one display list; each frame only places the model and
// replays the list. After F1 has replaced the GL context the list is
// recorded again from the level in memory (base/gl_recreation.h).
#pragma once

#include "base/display_list.h"
#include "model3ds/level.h"

struct cModelScene {
    cLevel level;
    cDisplayList list;

    cModelScene() = default;
    cModelScene(const cModelScene&) = delete;
    cModelScene& operator=(const cModelScene&) = delete;
    // Stops the scene's list from being recorded again in a new context.
    ~cModelScene();
};

// Loads the demo's model into the scene and records its display list (GL
// context current). A missing or damaged file is only logged.
void LoadModelScene(cModelScene& scene);
// The same with another model file.
void LoadModelScene(cModelScene& scene, const char* fileName);
// Draws the model at song time t, placed by t and the last beat's time,
// without fog; the fog enable is left as it was found. Leaves depth testing
// off, blending on with (GL_SRC_ALPHA, GL_DST_ALPHA), the colour (0, 0, 1,
// 0.5) and the matrix moved and turned.
void DrawModelScene(cModelScene& scene, double t);
