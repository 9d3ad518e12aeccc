// The fixed GL state of the demo's context and its projection.
//
// Lighting is left off: the effects switch it on and off themselves. The
// modelview matrix is not reset here; DrawFrame loads the identity at the
// start of every frame.
#include "core/gl_view.h"

#include "base/view_rect.h"

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
    // The picture is made for 4:3: other shapes show the largest centred 4:3
    // view with black bars (PresentFrame clears them). A window without
    // height shows nothing; it keeps one row of the whole width.
    const cViewRect view = height == 0 ? cViewRect{0, 0, int(width), 1} : FitView(width, height);
    SetViewFrame(width, height, view);
    glViewport(view.x, view.y, GLsizei(view.width), GLsizei(view.height));
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(kFieldOfView, double(view.width) / double(view.height), kNear, kFar);
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
