// The fixed GL state of the demo's context and its projection.
//
// Lighting is left off: the effects switch it on and off themselves. The
// modelview matrix is not reset here; DrawFrame loads the identity at the
// start of every frame.
#include "core/gl_view.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace {

// Vertical field of view in degrees.
constexpr double kFieldOfView = 65.0;
// Near plane: 0.001 as a float widened to double, so it is not exactly 0.001.
constexpr double kNear = double(0.001f);
constexpr double kFar = 100.0;
// Clear colour of a new context until start-up sets black.
constexpr float kClearGrey = 0.5f;

}  // namespace

// Set viewport and projection for a window size
void ResizeView(unsigned int width, unsigned int height) {
    if (height == 0) height = 1;
    glViewport(0, 0, GLsizei(width), GLsizei(height));
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(kFieldOfView, double(width) / double(height), kNear, kFar);
    glMatrixMode(GL_MODELVIEW);
}

// Set the fixed GL state of a new context and its view
int SetupGL(unsigned int width, unsigned int height) {
    glEnable(GL_TEXTURE_2D);
    glShadeModel(GL_SMOOTH);
    glClearColor(kClearGrey, kClearGrey, kClearGrey, 1.0f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    ResizeView(width, height);
    glFlush();
    return 1;
}
