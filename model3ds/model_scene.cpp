// Model scene: load and record once, then place and replay every frame.
#include "model3ds/model_scene.h"

#include "base/data_files.h"

#include "base/beat.h"
#include "base/gl_recreation.h"
#include "model3ds/chunk_reader.h"
#include "model3ds/mesh_draw.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <vector>

// ---- Constants -------------------------------------------------------------

namespace {

// The model file's units are large; this brings the model to about a unit.
constexpr float kModelScale = 0.005f;
// Three vertices per face: a fan of one triangle.
constexpr unsigned kPrimitiveMode = GL_TRIANGLE_FAN;
// Depth units per second the model recedes after a beat.
constexpr double kRecedeSpeed = 5.0;
// Depth of the model at the moment of a beat.
constexpr double kDepthOffset = -1.0;

// ---- Recording -------------------------------------------------------------

// Scenes whose lists are recorded again after the GL context was replaced.
// Never destroyed: static scenes unregister in their destructors at exit,
// possibly after a function-local static would already be gone.
std::vector<cModelScene*>& LoadedScenes() {
    static std::vector<cModelScene*>* scenes = new std::vector<cModelScene*>;
    return *scenes;
}

// Records the whole model, scaled, into the scene's list; nothing is drawn.
void RecordModel(cModelScene& scene) {
    scene.list.Begin();
    glPushMatrix();
    glScalef(kModelScale, kModelScale, kModelScale);
    DrawLevel(scene.level, kPrimitiveMode);
    glPopMatrix();
    scene.list.End();
}

// Re-records every loaded scene in a fresh context: the old list name and
// any texture a material made belonged to the context that is gone.
void RecordLoadedScenesAgain() {
    for (cModelScene* scene : LoadedScenes()) {
        scene->list.Forget();
        for (cKeyedList<cMaterial>* node = &scene->level.library.materials; node; node = node->next)
            for (cTexture& map : node->element.maps) map.forget();
        RecordModel(*scene);
    }
}

}  // namespace

// ---- Public ----------------------------------------------------------------

// Leaves the re-recording list.
cModelScene::~cModelScene() {
    std::vector<cModelScene*>& scenes = LoadedScenes();
    scenes.erase(std::remove(scenes.begin(), scenes.end(), this), scenes.end());
}

// Loads the demo's own model.
void LoadModelScene(cModelScene& scene) { LoadModelScene(scene, kModelFile); }

// Loads a model file and records the scene's list.
void LoadModelScene(cModelScene& scene, const char* fileName) {
    // The result is only logged: a missing model leaves the scene empty.
    Load3DSFile(fileName, scene.level);
    RecordModel(scene);
    std::vector<cModelScene*>& scenes = LoadedScenes();
    if (std::find(scenes.begin(), scenes.end(), &scene) == scenes.end()) scenes.push_back(&scene);
    RegisterGlRecreation(RecordLoadedScenesAgain);
}

// Places the model by the song and beat times and replays the list.
void DrawModelScene(cModelScene& scene, double t) {
    const double beat = BeatTime();
    // New colour weighted by its alpha, the frame's colour by the
    // destination alpha; no depth test, so the whole shape shows through.
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_DST_ALPHA);
    // At a beat the model jumps to depth -1 and then recedes.
    glTranslatef(0.0f, 0.0f, float((beat - t) * kRecedeSpeed + kDepthOffset));
    // The wobble turns the already spinning model (GL post-multiplies).
    glRotatef(float(90.0 * std::sin(5.0 * t) + 30.0 * std::cos(6.0 * t)), 1.0f, 0.5f, 0.2f);
    glRotatef(float(30.0 * t), 1.0f, 0.5f, 0.0f);
    glColor4f(0.0f, 0.0f, 1.0f, 0.5f);
    // Unfogged: the tunnel before it leaves dense black fog on, which would
    // scale the blue down to a few percent at the model's depth. The fog
    // enable goes back to what it was, for the steps after this one.
    const bool fogged = glIsEnabled(GL_FOG) == GL_TRUE;
    if (fogged) glDisable(GL_FOG);
    scene.list.Call();
    if (fogged) glEnable(GL_FOG);
}
