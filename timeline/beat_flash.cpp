// DrawBeatFlash: a blended white quad in front of the camera.
//
// The quad at z = -0.75 is 1.28 x 0.96, just covering the 65 degree, 4:3
// view. The blend function GL_SRC_ALPHA, GL_DST_ALPHA with a visual that has
// no destination alpha (it reads as 1) adds alpha x white to the frame.
#include "timeline/beat_flash.h"

#include <GL/gl.h>

#include <cmath>

namespace {

// Half the length of the flash in seconds on either side of its reference.
constexpr double kHalfWidth = 0.5;
// The flash's own value of pi: the curve is not quite 0 at its ends.
constexpr double kPi = 3.1415;
// Distance of the flash quad in front of the camera, and its half extents.
constexpr float kDepth = -0.75f;
constexpr float kHalfWidthX = 0.64f;
constexpr float kHalfHeightY = 0.48f;

}  // namespace

// Draw the flash of reference r at song time t
void DrawBeatFlash(double t, double r) {
    const double d = r - t;
    if (!(d > -kHalfWidth && d < kHalfWidth)) return;  // also skips NaN
    const float alpha = float(std::sin((d + kHalfWidth) * kPi));

    glColor4f(1, 1, 1, alpha);
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_DST_ALPHA);

    glLoadIdentity();
    glBegin(GL_QUADS);
    glVertex3f(-kHalfWidthX, kHalfHeightY, kDepth);
    glVertex3f(kHalfWidthX, kHalfHeightY, kDepth);
    glVertex3f(kHalfWidthX, -kHalfHeightY, kDepth);
    glVertex3f(-kHalfWidthX, -kHalfHeightY, kDepth);
    glEnd();

    // Leaves blending off and depth testing on for whatever is drawn next.
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
}
