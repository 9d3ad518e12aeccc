// Gear cluster: the gear outline and the five wheels in their places.
//
// Depends on base/beat.h for the beat time that drives the jump.
#include "effects/gears.h"

#include "base/beat.h"

#include <GL/gl.h>

#include <cmath>

// ---- Constants -------------------------------------------------------------

namespace {

// Degrees to radians for the tooth outline: pi taken as 3.1415.
constexpr double kDegToRad = 3.1415 / 180.0;

// A point of the gear outline in the frame of one sector.
struct cPoint {
    double x, y;
};

// ---- Local helpers ---------------------------------------------------------

// The sectors of one pass: for each, the matrix turned to the sector's start
// angle while `draw` issues its loops.
template <class F>
void ForEachSector(double step, F draw) {
    for (double a = 0; a < 360; a += step) {
        glPushMatrix();
        glRotatef(float(a), 0, 0, 1);
        draw();
        glPopMatrix();
    }
}

// One line loop through four points at the given heights.
void Loop(cPoint p0, double z0, cPoint p1, double z1, cPoint p2, double z2, cPoint p3, double z3) {
    glBegin(GL_LINE_LOOP);
    glVertex3d(p0.x, p0.y, z0);
    glVertex3d(p1.x, p1.y, z1);
    glVertex3d(p2.x, p2.y, z2);
    glVertex3d(p3.x, p3.y, z3);
    glEnd();
}

}  // namespace

// ---- Public functions ------------------------------------------------------

// A tooth count that is not positive draws nothing: with a zero count the
// step is infinite and with a negative one the sector loop never ends.
void Gear(int teeth, double toothHeight, double thickness, double radius) {
    if (teeth <= 0) return;
    const double step = 360.0 / teeth;
    const double half = step / 2;
    const double tipRadius = radius + toothHeight;
    const cPoint centre{0, 0};
    const cPoint rim{radius, 0};
    const cPoint tip{tipRadius * std::cos(half * kDegToRad), tipRadius * std::sin(half * kDegToRad)};
    const cPoint next{radius * std::cos(step * kDegToRad), radius * std::sin(step * kDegToRad)};
    const double top = thickness;

    // Face at z = 0: a wedge from the centre with a pointed tooth.
    ForEachSector(step, [&] { Loop(centre, 0, rim, 0, tip, 0, next, 0); });
    // Flanks: each loop joins two vertical edges by crossing diagonals, so
    // every flank of a tooth shows as an X between the faces.
    ForEachSector(step, [&] {
        Loop(rim, 0, rim, top, tip, 0, tip, top);
        Loop(tip, 0, tip, top, next, 0, next, top);
    });
    // Face at z = thickness.
    ForEachSector(step, [&] { Loop(centre, top, rim, top, tip, top, next, top); });
}

// The cluster sits 1.5 in front at a beat and recedes 5 units per second
// after it. The small wheels turn twice as far as the large one and the other
// way; 18 degrees is half a tooth of a small wheel, so left and right mesh.
void cGears::Draw(double t) {
    const double b = BeatTime();
    glTranslatef(0, 0, float((b - t) * 5 - 1.5));
    const double s = std::sin(t / 2) * 6;

    glPushMatrix();
    glRotatef(float(s * 50), 0, 0, 1);
    Gear(20, 0.15, 0.1, 0.5);
    glPopMatrix();

    const float smallAngle = float(-s * 100 + 18);
    const float upperAngle = float(-s * 100 + 360);
    const struct {
        float x, y, angle;
    } smallWheels[4] = {{0.9f, 0, smallAngle}, {-0.9f, 0, smallAngle}, {0, 0.9f, upperAngle}, {0, -0.9f, upperAngle}};
    for (const auto& wheel : smallWheels) {
        glPushMatrix();
        glTranslatef(wheel.x, wheel.y, 0);
        glRotatef(wheel.angle, 0, 0, 1);
        Gear(10, 0.13, 0.1, 0.25);
        glPopMatrix();
    }
}
