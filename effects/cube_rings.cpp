// Cube rings: the size wave, one ring of twenty cubes, the three passes.
//
// Depends on the cube shapes of the road.
#include "effects/cube_rings.h"

#include "effects/cube_shapes.h"

#include <GL/gl.h>

#include <cmath>

// ---- Constants -------------------------------------------------------------

namespace {

// The size wave takes the angle in degrees straight into the sine with this
// factor, so it runs around the ring many times over and looks irregular.
constexpr double kSizeWaveFactor = 28.662420382165603;

// ---- Local helpers ---------------------------------------------------------

// The translucent body colour of a cube: with (GL_SRC_ALPHA, GL_DST_ALPHA)
// and no destination alpha every face adds a tenth of blue.
void BodyColour() { glColor4f(0, 0, 1, 0.1f); }

// Twenty cubes a unit from the axis, each turned about the ring's tangent by
// the tumble (always with +u) and sized by the wave at `phase`.
void Ring(double phase, double u) {
    for (double a = 0; a < 360; a += 18) {
        glPushMatrix();
        glRotatef(float(a), 0, 0, 1);
        glTranslatef(1, 0, 0);
        glRotatef(float(std::sin(u + a / 30) * 90), 0, 1, 0);
        const double size = CubeSize(a, phase);
        SolidCube(size);
        glColor4f(0.1f, 0.1f, 1, 1);
        WireCube(size);
        glEnable(GL_BLEND);
        BodyColour();
        glPopMatrix();
    }
}

}  // namespace

// ---- Public functions ------------------------------------------------------

// Edge of a cube from the size wave: between 0.1 and 0.5.
double CubeSize(double angle, double phase) { return std::sin(kSizeWaveFactor * angle + 3 * phase) / 5 + 0.3; }

// The translation after each pass grows with i (0, then -0.4), so the first
// two passes land at the same depth (z = -1.5, twice as bright) and the third
// at z = -1.9. Each pass runs the size wave one way and then the other.
void cCubeRings::Draw(double t) {
    glPushMatrix();
    glPushMatrix();
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_DST_ALPHA);
    BodyColour();
    glTranslatef(0, 0, -1.5f);
    glLineWidth(6);
    const double u = 2 * t;
    for (int i = 0; i < 3; ++i) {
        Ring(+u, u);
        Ring(-u, u);
        glTranslatef(0, 0, float(-0.4 * i));
    }
    glPopMatrix();
    glPopMatrix();
}
